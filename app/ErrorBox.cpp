#include "ErrorBox.h"

#include "AppTitle.h"

#include <QMessageBox>

namespace {

ErrorBox::Presenter& presenter()
{
    static ErrorBox::Presenter current;
    return current;
}

void showMessageBox(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
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
