// quelm-browser: the built-in browser window in a process of its own, so that
// the main program never loads the browser engine. Commands arrive on
// standard input and are answered on standard output (see PROTOCOL.md); the
// helper quits when that input closes.

#include "BrowserCommandServer.h"
#include "BrowserHelperApplication.h"
#include "TWebBrowser.h"
#include "view.h"
#include "DisplayPlatform.h"
#include "ErrorBox.h"
#include "QtTranslation.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtGlobal>

#include <fcntl.h>
#include <unistd.h>

namespace {

int g_answerFd = -1;
bool g_connectingToDisplay = false;
QtMessageHandler g_qtHandler = nullptr;

// Qt and the engine end the process on a fatal error; the main program hears
// why before it sees the process end.
void ReportFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg && g_answerFd >= 0) {
        const QString reason = g_connectingToDisplay
            ? QStringLiteral("无法连接图形显示“%1”。请检查环境变量 DISPLAY 与 XAUTHORITY")
                  .arg(qEnvironmentVariable("DISPLAY"))
            : message.trimmed().left(2000);
        BrowserCommandServer::WriteAnswer(g_answerFd, {BrowserProtocol::Answer::Kind::Fatal, reason});
    }
    g_qtHandler(type, context, message);
}

// Answers go out on the standard output the main program gave us; whatever
// else writes there (Qt, the engine and its processes) goes to standard
// error instead, so that nothing but answers reaches the main program.
int TakeAnswerChannel()
{
    const int fd = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    ::dup2(STDERR_FILENO, STDOUT_FILENO);
    return fd;
}

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
    g_answerFd = TakeAnswerChannel();
    g_qtHandler = qInstallMessageHandler(ReportFatal);
    PrepareEngineEnvironment();
    DisplayPlatform::PreferXWayland();   // the same backend as the main program's windows
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    g_connectingToDisplay = true;
    BrowserHelperApplication app(argc, argv);
    g_connectingToDisplay = false;
    QtTranslation::Install({QStringLiteral("qtbase"), QStringLiteral("qtwebengine")});
    DisplayPlatform::LeaveChildrenTheirChoice();
    // The engine reports its GL set-up on every start; keep the launcher's
    // terminal for real problems (QT_LOGGING_RULES still wins).
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));

    TForm5 form(new TWebBrowser);
    app.SetErrorBoxParent(&form);
    ErrorBox::SetPresenter([&app](const QString&, const QString& text) { app.OpenBox(text); });

    BrowserCommandServer server(form, &TWebBrowser::Refusal, STDIN_FILENO, g_answerFd);
    QObject::connect(&server, &BrowserCommandServer::commandFailed, &app, &BrowserHelperApplication::ShowError);
    QObject::connect(&server, &BrowserCommandServer::endOfInput, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    return app.exec();
}
