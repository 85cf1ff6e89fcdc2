#include "SettingsTests.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    failed |= runDesktopEntryTests(argc, argv);
    failed |= runBrowserModeSettingTests(argc, argv);
    failed |= runAutostartSettingTests(argc, argv);
    return failed;
}
