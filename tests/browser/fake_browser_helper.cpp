// A stand-in for quelm-browser: appends what happens to the file named by
// QUELM_FAKE_HELPER_LOG, one event a line:
//   started <pid>   line <raw input line>   eof   exit   input-closed
// QUELM_FAKE_HELPER_MODE: "exit-after-first" ends the program after the first
// line; "close-input-after-first" closes standard input and lingers.

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

void Log(const QByteArray& event)
{
    QFile log(QString::fromLocal8Bit(qgetenv("QUELM_FAKE_HELPER_LOG")));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(event + '\n');
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QByteArray mode = qgetenv("QUELM_FAKE_HELPER_MODE");
    Log("started " + QByteArray::number(QCoreApplication::applicationPid()));

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
        if (mode == "exit-after-first") {
            Log("exit");
            return 3;
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
