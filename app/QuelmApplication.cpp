#include "QuelmApplication.h"

#include <exception>

QuelmApplication::QuelmApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool QuelmApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        qWarning("%s: a handler let an error through: %s", qPrintable(applicationName()), error.what());
    } catch (...) {
        qWarning("%s: a handler let an unknown error through", qPrintable(applicationName()));
    }
    return false;
}
