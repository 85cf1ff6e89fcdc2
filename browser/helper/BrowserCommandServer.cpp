#include "BrowserCommandServer.h"

#include "BrowserCommandReader.h"
#include "WebBrowserControl.h"
#include "view.h"

#include <QMutex>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

using BrowserProtocol::Answer;
using BrowserProtocol::Command;

BrowserCommandServer::BrowserCommandServer(TForm5& form, NavigationCheck check, int inputFd, int answerFd,
                                           QObject* parent)
    : QObject(parent)
    , m_form(form)
    , m_check(std::move(check))
    , m_answerFd(answerFd)
    , m_reader(new BrowserCommandReader(inputFd))
{
    m_thread.setObjectName(QStringLiteral("quelm-browser input"));
    m_reader->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_reader, &QObject::deleteLater);
    // These run on the input thread.
    connect(m_reader, &BrowserCommandReader::commandReceived, m_reader,
            [this](const Command& command) { execute(command); });
    connect(m_reader, &BrowserCommandReader::malformedLine, m_reader, [this](const QByteArray& line) {
        std::fprintf(stderr, "quelm-browser: ignoring unknown command: %s\n", line.left(200).constData());
        WriteAnswer(m_answerFd, {Answer::Kind::Error, QStringLiteral("Quelm浏览器无法识别收到的命令")});
    });
    connect(m_reader, &BrowserCommandReader::endOfInput, this, &BrowserCommandServer::endOfInput);
    m_thread.start();
}

BrowserCommandServer::~BrowserCommandServer()
{
    m_thread.quit();
    m_thread.wait();
}

void BrowserCommandServer::execute(const Command& command)
{
    if (command.kind == Command::Kind::Navigate) {
        if (const QString refusal = m_check(command.url); !refusal.isEmpty()) {
            WriteAnswer(m_answerFd, {Answer::Kind::Error, refusal});
            return;
        }
    }
    // On the window's thread, in the order of the commands; dropped if the server is gone by then.
    // The answer does not wait for it: that thread may be busy for seconds bringing up the engine.
    QMetaObject::invokeMethod(
        this,
        [this, command] {
            try {
                if (command.kind == Command::Kind::Show)
                    m_form.Show();
                else
                    m_form.wb()->Navigate(command.url);
            } catch (const std::exception& error) {
                emit commandFailed(QString::fromUtf8(error.what()));
            }
        },
        Qt::QueuedConnection);
    WriteAnswer(m_answerFd, {});
}

void BrowserCommandServer::WriteAnswer(int answerFd, const Answer& answer)
{
    static QMutex mutex;
    const QByteArray line = BrowserProtocol::EncodeAnswer(answer);
    const QMutexLocker lock(&mutex);
    for (qsizetype done = 0; done < line.size();) {
        const ssize_t n = ::write(answerFd, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // the main program is gone; the helper ends with its input
        done += n;
    }
}
