#include "ErrorBox.h"

#include "AppTitle.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

ErrorBox::Presenter& presenter()
{
    static ErrorBox::Presenter current;
    return current;
}

// In front of every window of the program: the settings dialog, the about box and the built-in
// browser stay on top, and a box beneath them would block all input unseen. Window managers
// stack a dialog with its parent's windows, so the box has none of its own (exec() blocks every
// window anyway); it is placed over the window the user was working in. With the main window
// hidden in the tray it still comes to the front.
void showMessageBox(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    const QPointer<QWidget> owner = QApplication::activeWindow();
    if (owner) {
        box.adjustSize();
        box.move(owner->frameGeometry().center() - box.rect().center());
    }
    box.exec();
    if (owner)   // as a dialog hands the focus back to its parent
        owner->activateWindow();
}

} // namespace

namespace ErrorBox {

QString DisplayText(const QString& message)
{
    if (message.isEmpty() || message.back() <= QLatin1Char('.'))
        return message;
    // A Chinese sentence end sorts after "." yet already ends the sentence.
    static const QString chineseEnds = QStringLiteral("。！？");
    if (chineseEnds.contains(message.back()))
        return message;
    return message + QLatin1Char('.');
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
