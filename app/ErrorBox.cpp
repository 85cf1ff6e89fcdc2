#include "ErrorBox.h"

#include "AppTitle.h"

#include <QApplication>
#include <QMessageBox>

namespace {

ErrorBox::Presenter& presenter()
{
    static ErrorBox::Presenter current;
    return current;
}

// Over the window the user was working in: the settings dialog and the about box stay on
// top, and a box beneath them would block every input unseen. With no window active (the
// main window hidden in the tray) the box still comes to the front on its own.
void showMessageBox(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace

namespace ErrorBox {

QString DisplayText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void Show(const QString& message)
{
    const QString text = DisplayText(message);
    if (presenter())
        presenter()(AppTitle(), text);
    else
        showMessageBox(AppTitle(), text);
}

void SetPresenter(Presenter p)
{
    presenter() = std::move(p);
}

} // namespace ErrorBox
