// The probe against servers on loopback: what each kind of answer, or its absence, is called.

#include "EngineProbe.h"
#include "LocalHttpServer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

using Kind = EngineStatus::Kind;

// Every address's status, once the probe is idle.
QHash<int, EngineStatus> CheckAll(EngineProbe& probe, const QStringList& urls, int waitMs)
{
    QHash<int, EngineStatus> found;
    QObject::connect(&probe, &EngineProbe::Checked, &probe,
                     [&found](int index, const EngineStatus& status) { found.insert(index, status); });
    QSignalSpy idle(&probe, &EngineProbe::Idle);
    for (int i = 0; i < urls.size(); ++i)
        probe.Check(i, urls.at(i));
    if (!idle.wait(waitMs))
        qWarning("the probe was not idle within %d ms", waitMs);
    return found;
}

} // namespace

class TestEngineProbe final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachAnswerHasItsName()
    {
        LocalHttpServer server;
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 refusedPort = closed.serverPort();
        closed.close();
        // Answers a TLS greeting in plain text.
        QTcpServer plain;
        QVERIFY(plain.listen(QHostAddress::LocalHost));
        connect(&plain, &QTcpServer::newConnection, &plain, [&plain] {
            while (QTcpSocket* socket = plain.nextPendingConnection())
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
        });

        const QStringList urls{server.Url("/status/200"),
                               server.Url("/status/404"),
                               server.Url("/status/500"),
                               server.Url("/redirect/5"), // the most redirects allowed
                               server.Url("/redirect/6"),
                               server.Url("/loop"),
                               server.Url("/hang"),
                               QStringLiteral("http://127.0.0.1:%1/s?q=quelm").arg(refusedPort),
                               QStringLiteral("http://quelm-check-test.invalid/s?q=quelm"),
                               QStringLiteral("http:///s?q=quelm"),
                               QStringLiteral("http://bad host/s?q=quelm"),
                               QStringLiteral("ftp://127.0.0.1/s?q=quelm"),
                               server.Url("/endless"),
                               server.Url("/big"),
                               QStringLiteral("https://127.0.0.1:%1/s?q=quelm").arg(plain.serverPort())};
        EngineProbe probe;
        probe.SetTimeoutMs(1500);
        QElapsedTimer clock;
        clock.start();
        const QHash<int, EngineStatus> found = CheckAll(probe, urls, 20000);
        QCOMPARE(found.size(), urls.size());
        // Only /hang waits for the limit: the endless and the huge body end at their headers.
        QVERIFY2(clock.elapsed() < 1500 + 1000, qPrintable(QString::number(clock.elapsed())));

        const auto expect = [&](int index, Kind kind, int code, const QString& detailPart) {
            const EngineStatus& status = found.value(index);
            QVERIFY2(status.kind == kind && status.httpCode == code && status.detail.contains(detailPart),
                     qPrintable(QStringLiteral("%1: %2 %3 %4").arg(urls.at(index), status.Text()).arg(status.httpCode)
                                    .arg(status.detail)));
        };
        expect(0, Kind::Ok, 200, "HTTP 200");
        expect(1, Kind::HttpError, 404, "HTTP 404");
        expect(2, Kind::HttpError, 500, "HTTP 500");
        expect(3, Kind::Ok, 200, "/redirect/0");
        expect(4, Kind::Redirects, 302, "重定向过多");
        expect(5, Kind::Redirects, 302, "重定向过多");
        expect(6, Kind::Timeout, 0, "1.5 秒内没有应答");
        expect(7, Kind::Unreachable, 0, "拒绝连接");
        expect(8, Kind::Unreachable, 0, "找不到主机名");
        expect(9, Kind::Unreachable, 0, "没有有效的主机名");
        expect(10, Kind::Unreachable, 0, "没有有效的主机名");
        expect(11, Kind::Unreachable, 0, "只能检测 http 和 https");
        expect(12, Kind::Ok, 200, "/endless");
        expect(13, Kind::Ok, 200, "/big");
        expect(14, Kind::Unreachable, 0, "TLS 握手失败");
        QCOMPARE(found.value(4).Text(), QStringLiteral("出错 重定向过多"));
        QCOMPARE(found.value(1).Text(), QStringLiteral("出错 404"));

        // Each hop of the redirects set a cookie; none went back.
        QVERIFY(server.requests.size() >= 3 + 7 + 6);
        for (const QByteArray& request : std::as_const(server.requests)) {
            QVERIFY2(request.startsWith("GET "), request.constData());
            QVERIFY2(!request.toLower().contains("\r\ncookie:"), request.constData());
        }
    }

    // Twenty engines on twenty hosts that never answer: eight at a time, each within its limit.
    void eightAtOnce()
    {
        LocalHttpServer server;
        QStringList urls;
        for (int i = 1; i <= 20; ++i)
            urls.append(server.Url("/hang", QStringLiteral("127.0.0.%1").arg(i)));
        EngineProbe probe;
        probe.SetTimeoutMs(1000);
        qsizetype askedBeforeFirstAnswer = -1;
        connect(&probe, &EngineProbe::Checked, this, [&] {
            if (askedBeforeFirstAnswer < 0)
                askedBeforeFirstAnswer = server.requests.size();
        });
        const QHash<int, EngineStatus> found = CheckAll(probe, urls, 20000);
        QCOMPARE(found.size(), 20);
        for (const EngineStatus& status : found)
            QCOMPARE(status.kind, Kind::Timeout);
        QCOMPARE(askedBeforeFirstAnswer, qsizetype(EngineProbe::kParallel));
        QCOMPARE(server.requests.size(), 20);
    }
};

QTEST_GUILESS_MAIN(TestEngineProbe)
#include "tst_engine_probe.moc"
