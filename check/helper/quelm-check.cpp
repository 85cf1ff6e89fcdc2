// quelm-check: asks the addresses the main program writes on standard input whether they still
// answer, and writes what each did on standard output (../protocol/CheckProtocol.h). Started for
// one check and ended with it; the main program ends it early to stop the check.

#include "CheckProtocol.h"
#include "EngineProbe.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkProxyFactory>

#include <csignal>
#include <cstdio>

#include <sys/prctl.h>

namespace {

void Write(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    // Never outlive the program that asked: a check nobody reads is traffic for nothing.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);

    QCoreApplication app(argc, argv);
    EngineProbe probe;
    const QStringList arguments = app.arguments();
    // Shorter only for the tests' servers that never answer.
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--timeout-ms")); at > 0 && at + 1 < arguments.size())
        probe.SetTimeoutMs(std::max(1, arguments.at(at + 1).toInt()));
    // The proxy the user set up for the desktop (http_proxy and the like): the way their browser
    // reaches the engines, too.
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        Write(CheckProtocol::EncodeFatal(QStringLiteral("检测程序无法读取它的输入")));
        return 2;
    }
    int asked = 0;
    for (const QByteArray& line : input.readAll().split('\n')) {
        if (line.isEmpty())
            continue;
        const std::optional<CheckProtocol::Request> request = CheckProtocol::DecodeRequest(line);
        if (!request) {
            Write(CheckProtocol::EncodeFatal(QStringLiteral("检测程序收到了无法理解的请求")));
            return 2;
        }
        probe.Check(request->index, request->url);
        ++asked;
    }
    if (asked == 0)
        return 0;
    QObject::connect(&probe, &EngineProbe::Checked, &probe,
                     [](int index, const EngineStatus& status) { Write(CheckProtocol::EncodeStatus(index, status)); });
    QObject::connect(&probe, &EngineProbe::Idle, &app, &QCoreApplication::quit);
    return app.exec();
}
