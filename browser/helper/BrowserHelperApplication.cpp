#include "BrowserHelperApplication.h"

#include "AppTitle.h"
#include "ErrorBox.h"

#include <QIcon>
#include <QMessageBox>


BrowserHelperApplication::BrowserHelperApplication(int& argc, char** argv)
    : GuardedApplication(argc, argv)
{
    setApplicationName(QStringLiteral("quelm-browser"));
    setWindowIcon(QIcon(QStringLiteral(":/images/MAINICON.png")));   // the program's icon, as on every window of it
    // Closing the window only hides it; the helper ends with its input.
    setQuitOnLastWindowClosed(false);
}

void BrowserHelperApplication::ShowError(const QString& message)
{
    OpenBox(ErrorBox::DisplayText(message));
}

void BrowserHelperApplication::OpenBox(const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Critical, AppTitle(), text, QMessageBox::Ok, m_errorBoxParent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // The browser window stays on top; its error box must not hide behind it.
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->open();
}
