#include "GuardedApplication.h"

#include <exception>

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        qWarning("%s: a handler let an error through: %s", qPrintable(applicationName()), error.what());
    } catch (...) {
        qWarning("%s: a handler let an unknown error through", qPrintable(applicationName()));
    }
    // Handled: the event goes no further.
    return true;
}
