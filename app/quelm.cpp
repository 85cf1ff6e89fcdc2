// The program entry: the skinned controls' start-up, the application object,
// then the four windows, created once and alive until the program ends.

#include "AppTitle.h"
#include "BrowserWindowProxy.h"
#include "ExternalBrowserLinkOpener.h"
#include "QuelmApplication.h"
#include "SettingsStore.h"
#include "controls/XP_Unit.h"
#include "XdgOpenBrowser.h"
#include "main.h"
#include "obout.h"
#include "shezhi.h"

#include <cstdio>
#include <cstdlib>

namespace {

// QApplication aborts without a display; say plainly what is missing instead.
bool displayAvailable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char* argv[])
{
    XP_UnitStartup();
    if (!displayAvailable()) {
        std::fputs("quelm: 找不到图形显示（DISPLAY 与 WAYLAND_DISPLAY 均未设置），无法启动。\n"
                   "quelm: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
                   stderr);
        return EXIT_FAILURE;
    }

    QuelmApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quelm"));
    QApplication::setApplicationDisplayName(AppTitle());
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quelm.Search"));
    QApplication::setQuitOnLastWindowClosed(false);   // only closing the main window ends the program

    SettingsStore settings;
    XdgOpenBrowser externalBrowser;
    ExternalBrowserLinkOpener linkOpener(externalBrowser);
    SetLinkOpener(&linkOpener);

    TForm1 form1(settings, externalBrowser);
    TForm2 form2;
    TForm3 form3(settings);
    BrowserWindowProxy form5;
    form1.SetAboutBox(&form2);
    form1.SetSettingsDialog(&form3);
    form1.SetBrowserWindow(&form5);
    QObject::connect(&form1, &TForm1::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    form1.show();
    const int result = app.exec();
    SetLinkOpener(nullptr);
    return result;
}
