// quelm-browser: the built-in browser window in a process of its own, so that
// the main program never loads the browser engine. Commands arrive on
// standard input (see PROTOCOL.md); the helper quits when that input closes.

#include "BrowserCommandReader.h"
#include "BrowserHelperApplication.h"
#include "TWebBrowser.h"
#include "view.h"
#include "app/DisplayPlatform.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

namespace {

void PrepareEngineEnvironment()
{
    // Chromium refuses to run sandboxed as root; everyone else keeps the sandbox.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");

    // Without a GPU (Xvfb, most virtual machines) Chromium's GPU process only
    // fails and retries; render in software from the start.
    if (!QFileInfo::exists(QStringLiteral("/dev/dri"))) {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--disable-gpu"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --disable-gpu").trimmed());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    PrepareEngineEnvironment();
    DisplayPlatform::PreferXWayland();   // the same backend as the main program's windows
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    BrowserHelperApplication app(argc, argv);
    DisplayPlatform::LeaveChildrenTheirChoice();
    // The engine reports its GL set-up on every start; keep the launcher's
    // terminal for real problems (QT_LOGGING_RULES still wins).
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    TForm5 form(new TWebBrowser);
    app.SetErrorBoxParent(&form);

    BrowserCommandReader reader(STDIN_FILENO);
    QObject::connect(&reader, &BrowserCommandReader::commandReceived, &form,
                     [&app, &form](const BrowserProtocol::Command& command) {
                         try {
                             if (command.kind == BrowserProtocol::Command::Kind::Show)
                                 form.Show();
                             else
                                 form.wb()->Navigate(command.url);
                         } catch (const std::exception& error) {
                             app.ShowError(QString::fromUtf8(error.what()));
                         }
                     });
    QObject::connect(&reader, &BrowserCommandReader::malformedLine, &app, [](const QByteArray& line) {
        std::fprintf(stderr, "quelm-browser: ignoring unknown command: %s\n", line.left(200).constData());
    });
    QObject::connect(&reader, &BrowserCommandReader::endOfInput, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    return app.exec();
}
