#include "DisplayPlatform.h"

#include <QByteArray>
#include <QtGlobal>

namespace DisplayPlatform {

namespace {
bool chosenHere = false;
}

void PreferXWayland()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
        chosenHere = true;
    }
}

bool UsesDisplayServer()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
}

void LeaveChildrenTheirChoice()
{
    if (chosenHere)
        qunsetenv("QT_QPA_PLATFORM");
    chosenHere = false;
}

} // namespace DisplayPlatform
