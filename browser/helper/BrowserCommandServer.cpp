#include "BrowserCommandServer.h"

#include "BrowserCommandReader.h"
#include "WebBrowserControl.h"
#include "view.h"

#include <QMutex>
#include <QSemaphore>
#include <QTimer>
#include <QWindow>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <unistd.h>

using BrowserProtocol::Answer;
using BrowserProtocol::Command;

namespace {
// A window that is shown but never exposed (another virtual desktop) still gets its answer.
constexpr int kOnScreenTimeoutMs = 1000;
}

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
    m_stopping = true;
    m_thread.quit();
    m_thread.wait();
}

void BrowserCommandServer::execute(const Command& command)
{
    if (command.kind == Command::Kind::Show) {
        showWindow();
        return;
    }
    if (const QString refusal = m_check(command.url); !refusal.isEmpty()) {
        WriteAnswer(m_answerFd, {Answer::Kind::Error, refusal});
        return;
    }
    // On the window's thread; dropped if the server is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, url = command.url] {
            try {
                m_form.wb()->Navigate(url);
            } catch (const std::exception& error) {
                emit commandFailed(QString::fromUtf8(error.what()));
            }
        },
        Qt::QueuedConnection);
    WriteAnswer(m_answerFd, {});
}

void BrowserCommandServer::showWindow()
{
    // Waits for the window's thread, but gives up when the server goes away,
    // which a blocking queued call could not.
    const auto shown = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        this,
        [this, shown] {
            m_form.Show();
            releaseOnScreen(shown, QDeadlineTimer(kOnScreenTimeoutMs));
        },
        Qt::QueuedConnection);
    while (!shown->tryAcquire(1, 50)) {
        if (m_stopping)
            return;
    }
    WriteAnswer(m_answerFd, {});
}

// The answer waits until the window is on the screen: an error box the main program opens
// next must be stacked after it, or the window, which stays on top, would cover the box.
void BrowserCommandServer::releaseOnScreen(const std::shared_ptr<QSemaphore>& shown, QDeadlineTimer deadline)
{
    const QWindow* window = m_form.windowHandle();
    if ((window && window->isExposed()) || deadline.hasExpired()) {
        shown->release();
        return;
    }
    QTimer::singleShot(10, this, [this, shown, deadline] { releaseOnScreen(shown, deadline); });
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
