// A stand-in for quelm-browser: answers every line "ok" and appends what
// happens to the file named by QUELM_FAKE_HELPER_LOG, one event a line:
//   started <pid>   line <raw input line>   eof   input-closed
// A navigation whose line contains QUELM_FAKE_HELPER_REFUSE (when set) is
// answered with an error instead. QUELM_FAKE_HELPER_MODE makes it fail:
//   exit-at-once               ends with status 5 before reading anything
//   missing-library            ends with status 127 and the dynamic loader's message
//   fatal-at-start             sends its last words, then ends with status 6
//   killed-after-navigate      answers the first navigation, then is killed
//   dies-later                 answers the first line, 300 ms later sends its last words and ends with status 7
//   silent                     never answers
//   close-input-after-first    answers the first line, then closes its input and lingers

#include "BrowserProtocol.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using BrowserProtocol::Answer;

namespace {

void Log(const QByteArray& event)
{
    QFile log(QString::fromLocal8Bit(qgetenv("QUELM_FAKE_HELPER_LOG")));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(event + '\n');
}

void Send(const Answer& answer)
{
    std::fputs(BrowserProtocol::EncodeAnswer(answer).constData(), stdout);
    std::fflush(stdout);
}

const QString kLastWords = QStringLiteral("测试引擎的最后消息");

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = qgetenv("QUELM_FAKE_HELPER_MODE");
    const QByteArray refuse = qgetenv("QUELM_FAKE_HELPER_REFUSE");
    Log("started " + QByteArray::number(QCoreApplication::applicationPid()));
    if (mode == "exit-at-once")
        return 5;
    if (mode == "missing-library") {
        std::fputs("fake_browser_helper: error while loading shared libraries: libQt6WebEngineCore.so.6: "
                   "cannot open shared object file: No such file or directory\n",
                   stderr);
        return 127;
    }
    if (mode == "fatal-at-start") {
        Send({Answer::Kind::Fatal, kLastWords});
        return 6;
    }

    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 2;
    for (;;) {
        QByteArray line = input.readLine();
        if (line.isEmpty()) {
            Log("eof");
            return 0;
        }
        if (line.endsWith('\n'))
            line.chop(1);
        Log("line " + line);
        if (mode == "silent")
            continue;
        const bool navigate = line.startsWith("navigate ");
        if (navigate && !refuse.isEmpty() && line.contains(refuse))
            Send({Answer::Kind::Error, QStringLiteral("无法打开网页：测试拒绝了") + QString::fromLatin1(refuse)});
        else
            Send({});
        if (mode == "killed-after-navigate" && navigate)
            ::raise(SIGKILL);
        if (mode == "dies-later") {
            QThread::msleep(300);
            Send({Answer::Kind::Fatal, kLastWords});
            return 7;
        }
        if (mode == "close-input-after-first") {
            input.close();
            ::close(STDIN_FILENO);
            Log("input-closed");
            QThread::sleep(20);
            return 4;
        }
    }
}
