#include "BrowserTests.h"

#include "BrowserCommandServer.h"
#include "RecordingBrowserControl.h"
#include "view.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <poll.h>
#include <unistd.h>

using BrowserProtocol::Answer;

// The helper's side: every command is answered in order, on the helper's own
// thread, so that a busy window delays none of them.
class TestBrowserCommandServer final : public QObject
{
    Q_OBJECT

private:
    int m_input[2] = {-1, -1};
    int m_answers[2] = {-1, -1};
    QByteArray m_pending;
    RecordingBrowserControl* m_wb = nullptr;
    std::unique_ptr<TForm5> m_form;
    std::unique_ptr<BrowserCommandServer> m_server;

    void writeAll(const QByteArray& bytes)
    {
        QCOMPARE(::write(m_input[1], bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }

    // The next answer line, nothing after timeoutMs. Unless told to, this
    // thread (the window's) runs no events meanwhile.
    QByteArray nextAnswer(int timeoutMs, bool runEvents = false)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_pending.contains('\n')) {
            if (runEvents)
                QCoreApplication::processEvents();
            pollfd fd{m_answers[0], POLLIN, 0};
            const int left = timeoutMs - int(timer.elapsed());
            if (left <= 0)
                return {};
            if (::poll(&fd, 1, runEvents ? qMin(left, 10) : left) <= 0)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(m_answers[0], chunk, sizeof chunk);
            if (n <= 0)
                return {};
            m_pending.append(chunk, n);
        }
        const qsizetype end = m_pending.indexOf('\n');
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        return line;
    }

    static QByteArray error(const QString& message)
    {
        return BrowserProtocol::EncodeAnswer({Answer::Kind::Error, message}).chopped(1);
    }

private slots:
    void init()
    {
        QCOMPARE(::pipe(m_input), 0);
        QCOMPARE(::pipe(m_answers), 0);
        m_pending.clear();
        m_wb = new RecordingBrowserControl;
        m_form = std::make_unique<TForm5>(m_wb);
        const auto check = [](const QString& url) {
            return url.isEmpty() ? QStringLiteral("无法打开网页：地址为空") : QString();
        };
        m_server = std::make_unique<BrowserCommandServer>(*m_form, check, m_input[0], m_answers[1]);
    }

    void cleanup()
    {
        m_server.reset();
        m_form.reset();
        for (int* pair : {m_input, m_answers}) {
            for (int i = 0; i < 2; ++i) {
                if (pair[i] >= 0)
                    ::close(pair[i]);
                pair[i] = -1;
            }
        }
    }

    void everyCommandIsAnsweredInOrder()
    {
        writeAll("show\nnavigate http://a.example/\nnavigate \nreload\nnavigate http://b.example/\n");
        QList<QByteArray> answers;
        for (int i = 0; i < 5; ++i)
            answers << nextAnswer(5000, true);
        QCOMPARE(answers, QList<QByteArray>({"ok", "ok", error(QStringLiteral("无法打开网页：地址为空")),
                                             error(QStringLiteral("Quelm浏览器无法识别收到的命令")), "ok"}));
        QTRY_COMPARE(m_wb->calls, QStringList({"navigate http://a.example/", "navigate http://b.example/"}));
        QVERIFY(m_form->isVisible());
    }

    void aBusyWindowDelaysNoAnswer()
    {
        // This thread is the window's, and it does not run its event loop here: it stands for a
        // window bringing up the engine, for as long as the main program would wait and more.
        writeAll("navigate http://busy.example/\nshow\nnavigate http://next.example/\n");
        QCOMPARE(nextAnswer(5000), QByteArray("ok"));
        QCOMPARE(nextAnswer(5000), QByteArray("ok"));
        QCOMPARE(nextAnswer(5000), QByteArray("ok"));
        QVERIFY(m_wb->calls.isEmpty());
        QVERIFY(!m_form->isVisible());
        // Once the window gets to them, it carries them out in order.
        QTRY_COMPARE(m_wb->calls, QStringList({"navigate http://busy.example/", "navigate http://next.example/"}));
        QVERIFY(m_form->isVisible());
    }

    void refusalByTheWindowIsReportedAfterTheAnswer()
    {
        QSignalSpy failed(m_server.get(), &BrowserCommandServer::commandFailed);
        m_wb->refuse = true;
        writeAll("navigate http://late.example/\n");
        QCOMPARE(nextAnswer(5000), QByteArray("ok"));
        QTRY_COMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), QStringLiteral("无法打开网页"));
    }

    void endOfInputIsSignalled()
    {
        QSignalSpy end(m_server.get(), &BrowserCommandServer::endOfInput);
        writeAll("show\n");
        ::close(m_input[1]);
        m_input[1] = -1;
        QCOMPARE(nextAnswer(5000, true), QByteArray("ok"));
        QTRY_COMPARE(end.count(), 1);
    }
};

int runBrowserCommandServerTests(int argc, char** argv)
{
    TestBrowserCommandServer suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "TestBrowserCommandServer.moc"
