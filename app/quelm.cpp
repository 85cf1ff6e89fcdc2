// The program entry: the skinned controls' start-up, the application object,
// then the four windows, created once and alive until the program ends: the main
// window first, the three that start hidden right after its first frame.

#include "AppTitle.h"
#include "DisplayPlatform.h"
#include "EnginesFile.h"
#include "ErrorBox.h"
#include "ExternalBrowserLinkOpener.h"
#include "QtTranslation.h"
#include "GuardedApplication.h"
#include "SecondaryWindows.h"
#include "IniRegistryBackend.h"
#include "SettingsStore.h"
#include "SingleInstance.h"
#include "controls/XP_Unit.h"
#include "XdgOpenBrowser.h"
#include "main.h"

#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

// QApplication aborts without a display; say plainly what is missing instead.
bool displayAvailable()
{
    if (!DisplayPlatform::UsesDisplayServer())
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A display that is set but does not answer, or a platform plugin that will not load, makes
// Qt abort inside the application's constructor. Say so and fail instead of dumping core.
QtMessageHandler qtHandler = nullptr;

void startupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    qtHandler(type, context, message);
    if (type != QtFatalMsg)
        return;
    const QByteArray display = qgetenv("DISPLAY");
    std::fprintf(stderr,
                 "quelm: 无法连接图形显示（DISPLAY=%s），无法启动。\n"
                 "quelm: cannot connect to the graphical display (DISPLAY=%s).\n",
                 display.constData(), display.constData());
    std::fflush(stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char* argv[])
{
    XP_UnitStartup();
    DisplayPlatform::PreferXWayland();
    if (!displayAvailable()) {
        std::fputs("quelm: 找不到图形显示（DISPLAY 与 WAYLAND_DISPLAY 均未设置），无法启动。\n"
                   "quelm: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
                   stderr);
        return EXIT_FAILURE;
    }
    SingleInstance instance;
    const SingleInstance::Outcome start = instance.BringRunningForward();
    if (start == SingleInstance::Outcome::Forwarded)
        return EXIT_SUCCESS;

    qtHandler = qInstallMessageHandler(startupMessageHandler);
    GuardedApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);
    QtTranslation::Install({QStringLiteral("qtbase")});
    DisplayPlatform::LeaveChildrenTheirChoice();
    QApplication::setApplicationName(QStringLiteral("quelm"));
    // The title is the error box's caption only: as the display name, Qt would add it to every window's title.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quelm.Search"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/MAINICON.png")));   // the error box's too
    QApplication::setQuitOnLastWindowClosed(false);   // only closing the main window ends the program
    if (start == SingleInstance::Outcome::NotAnswering) {
        ErrorBox::Show(SingleInstance::NotAnsweringMessage());
        return EXIT_FAILURE;
    }

    SettingsStore settings;
    XdgOpenBrowser externalBrowser;
    ExternalBrowserLinkOpener linkOpener(externalBrowser);
    SetLinkOpener(&linkOpener);

    // The user's engines beside the settings; a file that cannot be used leaves the catalogue.
    EnginesFile enginesFile(IniRegistryBackend::defaultFolder() + QStringLiteral("/engines.ini"));
    TForm1 form1(settings, externalBrowser, TForm1::Pages::ShowingFirst, enginesFile.load());
    form1.SetEnginesFile(&enginesFile);
    QObject::connect(&form1, &TForm1::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    instance.Listen([&form1](const LaunchActivation& launch) {
        launch.BringForward(form1, [&form1] { form1.ComeForward(); });
    });

    form1.show();
    form1.HiddenWindows().CreateAfterFirstFrame();
    if (!enginesFile.message().isEmpty()) {
        const QString message = enginesFile.message();
        QMetaObject::invokeMethod(&form1, [message] { ErrorBox::Show(message); }, Qt::QueuedConnection);
    }
    const int result = app.exec();
    SetLinkOpener(nullptr);
    return result;
}
