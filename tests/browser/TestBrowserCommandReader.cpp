#include "BrowserTests.h"

#include "BrowserCommandReader.h"

#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

using BrowserProtocol::Command;

Q_DECLARE_METATYPE(BrowserProtocol::Command)

// The helper's side: lines written into a pipe come out as commands, in order.
class TestBrowserCommandReader final : public QObject
{
    Q_OBJECT

private:
    int m_fds[2] = {-1, -1};

    void writeAll(const QByteArray& bytes)
    {
        QCOMPARE(::write(m_fds[1], bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
    }

    void closeWriteEnd()
    {
        ::close(m_fds[1]);
        m_fds[1] = -1;
    }

    static QStringList describe(const QSignalSpy& spy)
    {
        QStringList out;
        for (const QList<QVariant>& args : spy) {
            const auto command = args.at(0).value<Command>();
            out << (command.kind == Command::Kind::Show ? QStringLiteral("show") : "navigate " + command.url);
        }
        return out;
    }

private slots:
    void initTestCase() { qRegisterMetaType<Command>(); }

    void init() { QCOMPARE(::pipe(m_fds), 0); }

    void cleanup()
    {
        for (int& fd : m_fds) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }

    void commandsComeInOrderWhateverTheChunks()
    {
        BrowserCommandReader reader(m_fds[0]);
        QSignalSpy commands(&reader, &BrowserCommandReader::commandReceived);
        QSignalSpy end(&reader, &BrowserCommandReader::endOfInput);

        const QString chinese = QStringLiteral("http://x/?q=中文 %20");
        const QByteArray stream = BrowserProtocol::EncodeShow() + BrowserProtocol::EncodeNavigate("http://a/1")
            + BrowserProtocol::EncodeNavigate(chinese) + BrowserProtocol::EncodeShow()
            + BrowserProtocol::EncodeNavigate("http://a/2");
        // Split in the middle of lines and of escapes.
        writeAll(stream.left(7));
        QTRY_COMPARE(commands.count(), 1);
        writeAll(stream.mid(7, 30));
        writeAll(stream.mid(37));
        QTRY_COMPARE(commands.count(), 5);
        QCOMPARE(describe(commands),
                 QStringList({"show", "navigate http://a/1", "navigate " + chinese, "show", "navigate http://a/2"}));
        QCOMPARE(end.count(), 0);
    }

    void endOfInputAfterTheLastCommand()
    {
        BrowserCommandReader reader(m_fds[0]);
        QStringList events;
        connect(&reader, &BrowserCommandReader::commandReceived, this,
                [&events](const Command& c) { events << (c.kind == Command::Kind::Show ? "show" : "navigate " + c.url); });
        connect(&reader, &BrowserCommandReader::endOfInput, this, [&events] { events << "end"; });

        // The final line has lost its "\n": it still counts.
        writeAll("show\nnavigate http://last/");
        closeWriteEnd();
        QTRY_COMPARE(events, QStringList({"show", "navigate http://last/", "end"}));
        QTest::qWait(50);
        QCOMPARE(events.count(), 3);
    }

    void malformedLinesAreReportedAndSkipped()
    {
        BrowserCommandReader reader(m_fds[0]);
        QSignalSpy commands(&reader, &BrowserCommandReader::commandReceived);
        QSignalSpy malformed(&reader, &BrowserCommandReader::malformedLine);

        writeAll("reload\nnavigate a b\nnavigate http://ok/\n");
        QTRY_COMPARE(commands.count(), 1);
        QCOMPARE(describe(commands), QStringList({"navigate http://ok/"}));
        QCOMPARE(malformed.count(), 2);
        QCOMPARE(malformed.at(0).at(0).toByteArray(), QByteArray("reload"));
        QCOMPARE(malformed.at(1).at(0).toByteArray(), QByteArray("navigate a b"));
    }

    void nestedEventLoopKeepsOrder()
    {
        // A receiver that spins the event loop (a modal box would) must not let
        // the lines read meanwhile overtake the rest of the first batch.
        BrowserCommandReader reader(m_fds[0]);
        QStringList seen;
        connect(&reader, &BrowserCommandReader::commandReceived, this, [&](const Command& c) {
            seen << c.url;
            if (c.url == "1") {
                writeAll("navigate 3\n");
                QTest::qWait(100);
            }
        });
        writeAll("navigate 1\nnavigate 2\n");
        QTRY_COMPARE(seen, QStringList({"1", "2", "3"}));
    }
};

int runBrowserCommandReaderTests(int argc, char** argv)
{
    TestBrowserCommandReader suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "TestBrowserCommandReader.moc"
