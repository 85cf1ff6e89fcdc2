#include "QuelmApplication.h"

#include "ErrorBox.h"

#include <exception>

QuelmApplication::QuelmApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuelmApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ErrorBox::Show(QString::fromUtf8(error.what()));
    } catch (...) {
        ErrorBox::Show(QStringLiteral("发生未知错误"));
    }
    return false;
}
