#include "BrowserHelperApplication.h"

#include "AppTitle.h"
#include "ErrorBox.h"

#include <QIcon>
#include <QMessageBox>

#include <exception>

BrowserHelperApplication::BrowserHelperApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("quelm-browser"));
    setWindowIcon(QIcon(QStringLiteral(":/images/MAINICON.png")));   // the program's icon, as on every window of it
    // Closing the window only hides it; the helper ends with its input.
    setQuitOnLastWindowClosed(false);
}

bool BrowserHelperApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QStringLiteral("Quelm浏览器发生未知错误"));
    }
    return true;
}

void BrowserHelperApplication::ShowError(const QString& message)
{
    auto* box = new QMessageBox(QMessageBox::Critical, AppTitle(), ErrorBox::DisplayText(message), QMessageBox::Ok,
                                m_errorBoxParent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The browser window stays on top; its error box must not hide behind it.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->open();
}
