// One program per user and display, through the real socket in a folder of the test's own.

#include "LocalSocketChannel.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <future>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace std::chrono_literals;
using Claim = LocalSocketChannel::Claim;

class TestSingleInstance final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("quelm.socket")); }

    static std::future<Claim> startAnother(const QString& path, std::chrono::milliseconds bound,
                                           LaunchActivation launch = {})
    {
        return std::async(std::launch::async, [path, bound, launch] {
            LocalSocketChannel channel(path);
            return channel.ClaimOrForward(bound, launch);
        });
    }

private slots:
    // A start while the first program is still starting waits for it rather than take its
    // place; one that gives up leaves the first its channel, and later starts reach it with what
    // their launcher gave them, as far as it is well formed.
    void slowFirstStartKeepsItsChannel_data()
    {
        QTest::addColumn<QByteArray>("startupId");
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<QByteArray>("handedStartupId");
        QTest::addColumn<QByteArray>("handedToken");
        QTest::newRow("both") << QByteArray("kde;host;1_TIME4242") << QByteArray("wl-7f3a") << QByteArray("kde;host;1_TIME4242")
                              << QByteArray("wl-7f3a");
        QTest::newRow("none") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
        QTest::newRow("control character") << QByteArray("id\x1b]0;x_TIME1") << QByteArray("ok") << QByteArray()
                                           << QByteArray("ok");
        QTest::newRow("not ASCII") << QByteArray("id") << QByteArray("t\xc3\xa9") << QByteArray("id") << QByteArray();
        QTest::newRow("longest") << QByteArray(255, 'a') << QByteArray() << QByteArray(255, 'a') << QByteArray();
        QTest::newRow("too long") << QByteArray(256, 'a') << QByteArray("t") << QByteArray() << QByteArray("t");
    }
    void slowFirstStartKeepsItsChannel()
    {
        QFETCH(QByteArray, startupId);
        QFETCH(QByteArray, token);
        LocalSocketChannel first(path());
        QCOMPARE(first.ClaimOrForward(1000ms, {}), Claim::Serving);
        QCOMPARE(startAnother(path(), 300ms).get(), Claim::NoAnswer);

        std::future<Claim> third = startAnother(path(), 20000ms, {startupId, token});
        QList<LaunchActivation> requests;
        first.Serve([&](const LaunchActivation& launch) { requests.append(launch); });
        QTRY_COMPARE(requests.size(), 1);
        QCOMPARE(third.get(), Claim::Forwarded);
        QTEST(requests[0].startupId, "handedStartupId");
        QTEST(requests[0].activationToken, "handedToken");
    }

    // Out of descriptors, a request stays queued: the program does not spin on it meanwhile,
    // and answers it once it can.
    void requestWhileOutOfDescriptors()
    {
        LocalSocketChannel first(path());
        QCOMPARE(first.ClaimOrForward(1000ms, {}), Claim::Serving);
        int requests = 0;
        first.Serve([&](const LaunchActivation&) { ++requests; });
        QTRY_VERIFY(QFileInfo::exists(path()));

        const int asker = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray encoded = QFile::encodeName(path());
        std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
        std::vector<int> spent;
        const auto giveBack = qScopeGuard([&] {
            for (const int fd : spent)
                ::close(fd);
            spent.clear();
        });
        for (int fd; (fd = ::dup(0)) >= 0;)
            spent.push_back(fd);
        QCOMPARE(errno, EMFILE);
        QCOMPARE(::connect(asker, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

        QSignalSpy wakes(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake);
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
        QVERIFY2(wakes.size() < 100, qPrintable(QString::number(wakes.size())));
        QCOMPARE(requests, 0);

        for (const int fd : spent)
            ::close(fd);
        spent.clear();
        QTRY_COMPARE(requests, 1);
        char answer = 0;
        QCOMPARE(::recv(asker, &answer, 1, 0), 1);
        ::close(asker);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
