#include "BrowserTests.h"

#include "QuelmError.h"
#include "BrowserProtocol.h"
#include "BrowserWindowProxy.h"
#include "SearchDispatcher.h"
#include "SearchOpener.h"
#include "SearchRequest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <memory>

using BrowserProtocol::Command;

namespace {

// The proxy as a built-in search's window. Records what was opened (by host) once the proxy
// took it.
class ProxySearchOpener final : public SearchOpener
{
public:
    explicit ProxySearchOpener(BrowserWindowProxy& proxy) : m_proxy(proxy) {}

    void showBuiltInBrowser() override
    {
        m_proxy.Show();
        events << QStringLiteral("show");
    }
    void openBuiltIn(const QString& url) override
    {
        m_proxy.Navigate(url);
        events << "navigate " + QUrl(url).host();
    }
    void openExternal(const QString& url) override { events << "external " + url; }
    void setStatusText(const QString& text) override { events << "status " + text; }

    QStringList events;

private:
    BrowserWindowProxy& m_proxy;
};

// A built-in search over the first page with three rows ticked. The message of the error that
// ended it, or nothing.
QString search(ProxySearchOpener& host)
{
    SearchRequest request;
    request.builtIn = true;
    request.page = SearchCategory::General;
    for (const char* row : {"sgoogle", "sbaidu1", "syahoo"})
        request.rows.append({*EngineCatalogue::find(QLatin1String(row)), {}});
    request.query = QStringLiteral("q");
    try {
        SearchDispatcher(host).run(request);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

QStringList completeSearch()
{
    return {"show",
            "navigate www.google.com",
            "status 正在连接google...",
            "navigate www.baidu.com",
            "status 正在连接baidu...",
            "navigate search.cn.yahoo.com",
            "status 正在连接yahoo...",
            "status 欢迎使用Quelm搜索寻踪客！"};
}

} // namespace

// The main program's side, against a fake helper that records its input.
class TestBrowserWindowProxy final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString logPath() const { return m_dir->filePath("helper.log"); }

    QList<QByteArray> events() const
    {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> out = log.readAll().split('\n');
        if (!out.isEmpty() && out.last().isEmpty())
            out.removeLast();
        return out;
    }

    // What the helpers received, decoded; one "started" per helper process.
    QStringList received() const
    {
        QStringList out;
        for (const QByteArray& event : events()) {
            if (event.startsWith("started "))
                out << QStringLiteral("started");
            else if (event.startsWith("line ")) {
                const auto command = BrowserProtocol::DecodeLine(event.mid(5));
                if (!command)
                    out << "malformed " + QString::fromLatin1(event.mid(5));
                else
                    out << (command->kind == Command::Kind::Show ? QStringLiteral("show") : "navigate " + command->url);
            }
        }
        return out;
    }

    QList<qint64> helperPids() const
    {
        QList<qint64> pids;
        for (const QByteArray& event : events())
            if (event.startsWith("started "))
                pids << event.mid(8).toLongLong();
        return pids;
    }

    bool logged(const QByteArray& what) const { return events().contains(what); }

    // Without running the event loop, as during one search.
    static bool waitUntilZombieOrGone(qint64 pid)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                return true;
            const QByteArray text = stat.readAll();
            const qsizetype close = text.lastIndexOf(')');
            if (close > 0 && text.mid(close + 2, 1) == "Z")
                return true;
            QThread::msleep(10);
        }
        return false;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("QUELM_FAKE_HELPER_LOG", QFile::encodeName(logPath()));
        qunsetenv("QUELM_FAKE_HELPER_MODE");
        qunsetenv("QUELM_FAKE_HELPER_REFUSE");
    }

    void cleanup() { m_dir.reset(); }

    void helperStartsOnFirstCallOnly()
    {
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        QTest::qWait(50);
        QVERIFY(!proxy.isHelperRunning());
        QVERIFY(!QFile::exists(logPath()));
        proxy.Show();
        QVERIFY(proxy.isHelperRunning());
        QTRY_COMPARE(received(), QStringList({"started", "show"}));
    }

    void commandsArriveInOrder()
    {
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        proxy.Show();
        proxy.Navigate("http://a.example/1");
        proxy.Navigate("http://b.example/2");
        proxy.Show();
        proxy.Navigate("http://c.example/3");
        QTRY_COMPARE(received(), QStringList({"started", "show", "navigate http://a.example/1",
                                              "navigate http://b.example/2", "show",
                                              "navigate http://c.example/3"}));
    }

    void urlsArriveUnchanged_data()
    {
        QTest::addColumn<QString>("url");
        QString ascii;
        for (int c = 0; c < 128; ++c)
            ascii.append(QChar(c));
        QTest::newRow("every ASCII character") << ascii;
        QTest::newRow("percent escapes") << "http://e/?q=%00%0A%0D%20%25%FF%e4%b8%ad&x=%";
        QTest::newRow("protocol look-alikes") << "x\nshow\nnavigate http://evil/ \\u0041\\\\";
        QTest::newRow("chinese") << QStringLiteral("http://e/?q=一搜到底 歌曲名");
        QTest::newRow("astral and combining") << QString::fromUcs4(U"\U0001F600\U00020000e\u0301\uFEFF\uFFFF");
        QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + "a" + QChar(0xDFFF);
        QTest::newRow("empty") << QString();
    }

    void urlsArriveUnchanged()
    {
        QFETCH(QString, url);
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        proxy.Navigate(url);
        QTRY_COMPARE(received().size(), 2);
        QVERIFY(received().at(1) == "navigate " + url);
    }

    void refusedNavigationEndsTheSearchAtThatRow()
    {
        qputenv("QUELM_FAKE_HELPER_REFUSE", "baidu");
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        QSignalSpy failed(&proxy, &BrowserWindowProxy::helperFailed);
        ProxySearchOpener host(proxy);
        QCOMPARE(search(host), QStringLiteral("无法打开网页：测试拒绝了baidu"));
        QCOMPARE(host.events, QStringList({"show", "navigate www.google.com", "status 正在连接google..."}));
        // The helper carries on: nothing came after the refused line but the next call, in the same helper.
        proxy.Show();
        const QStringList lines = received();
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines.mid(0, 2), QStringList({"started", "show"}));
        QVERIFY(lines.at(2).startsWith("navigate http://www.google.com/"));
        QVERIFY(lines.at(3).startsWith("navigate http://www.baidu.com/"));
        QCOMPARE(lines.at(4), QStringLiteral("show"));
        QCOMPARE(failed.count(), 0);
    }

    void failingHelperIsReportedOnceAndReplaced_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("message");
        const QStringList none;
        const QStringList firstRow{"show", "navigate www.google.com", "status 正在连接google..."};
        const QString path = QDir::toNativeSeparators(QStringLiteral(FAKE_BROWSER_HELPER));
        QTest::newRow("exits at once") << QByteArray("exit-at-once") << none
                                       << QStringLiteral("无法启动Quelm浏览器：内置浏览器程序“%1”启动后立即退出（退出码 5）。"
                                                         "请检查 Debian 软件包 libqt6webenginewidgets6（Qt WebEngine）是否完整安装")
                                              .arg(path);
        QTest::newRow("engine library missing")
            << QByteArray("missing-library") << none
            << QStringLiteral("无法启动Quelm浏览器：无法载入运行库“libQt6WebEngineCore.so.6”"
                              "（cannot open shared object file: No such file or directory）。"
                              "请安装 Debian 软件包 libqt6webenginewidgets6（Qt WebEngine）后再试");
        QTest::newRow("last words at start") << QByteArray("fatal-at-start") << none
                                             << QStringLiteral("无法启动Quelm浏览器：测试引擎的最后消息");
        QTest::newRow("killed after the first row")
            << QByteArray("killed-after-navigate") << firstRow
            << QStringLiteral("Quelm浏览器意外退出（被信号 SIGKILL 终止）。再次搜索或打开Quelm浏览器时会重新启动它");
        QTest::newRow("never answers") << QByteArray("silent") << none
                                       << QStringLiteral("Quelm浏览器没有响应：0.5 秒内没有应答，已将它关闭。"
                                                         "再次搜索或打开Quelm浏览器时会重新启动它");
    }

    void failingHelperIsReportedOnceAndReplaced()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QStringList, opened);
        QFETCH(QString, message);
        qputenv("QUELM_FAKE_HELPER_MODE", mode);
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        proxy.setAnswerTimeouts(500, 500);
        QSignalSpy failed(&proxy, &BrowserWindowProxy::helperFailed);
        ProxySearchOpener host(proxy);

        QElapsedTimer timer;
        timer.start();
        QCOMPARE(search(host), message);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(host.events, opened);
        QVERIFY(!proxy.isHelperRunning());
        QTRY_COMPARE(helperPids().size(), 1);
        QVERIFY(waitUntilZombieOrGone(helperPids().at(0)));   // a hung one is killed
        QCoreApplication::processEvents();   // whatever the failure left queued
        QCOMPARE(failed.count(), 0);

        // The new helper's start is no part of the failure: it gets the usual bounds.
        proxy.setAnswerTimeouts(BrowserWindowProxy::kFirstAnswerTimeoutMs, BrowserWindowProxy::kAnswerTimeoutMs);
        qunsetenv("QUELM_FAKE_HELPER_MODE");
        host.events.clear();
        QCOMPARE(search(host), QString());
        QCOMPARE(host.events, completeSearch());
        QCOMPARE(helperPids().size(), 2);
        QCOMPARE(failed.count(), 0);
    }

    void helperEndingWhileIdleIsReportedOnce()
    {
        qputenv("QUELM_FAKE_HELPER_MODE", "dies-later");
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        QSignalSpy failed(&proxy, &BrowserWindowProxy::helperFailed);
        proxy.Show();
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.at(0).at(0).toString(),
                 QStringLiteral("Quelm浏览器意外退出（退出码 7）。再次搜索或打开Quelm浏览器时会重新启动它。"
                                "网页引擎的消息：测试引擎的最后消息"));
        QVERIFY(!proxy.isHelperRunning());
        QCoreApplication::processEvents();   // whatever the end left queued
        QCOMPARE(failed.count(), 1);

        qunsetenv("QUELM_FAKE_HELPER_MODE");
        proxy.Show();
        QTRY_COMPARE(received(), QStringList({"started", "show", "started", "show"}));
        QCOMPARE(failed.count(), 1);
    }

    void brokenPipeIsAnErrorAndTheNextCallRecovers()
    {
        qputenv("QUELM_FAKE_HELPER_MODE", "close-input-after-first");
        BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
        proxy.Show();
        QTRY_VERIFY(logged("input-closed"));
        QVERIFY(proxy.isHelperRunning());
        try {
            proxy.Navigate("http://lost/");
            QFAIL("no error for a helper that stopped reading");
        } catch (const QuelmError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("Quelm浏览器没有响应：与内置浏览器程序的连接已断开，请再试一次"));
        }
        QVERIFY(!proxy.isHelperRunning());
        qunsetenv("QUELM_FAKE_HELPER_MODE");
        proxy.Navigate("http://next/");
        QTRY_COMPARE(received(), QStringList({"started", "show", "started", "navigate http://next/"}));
    }

    void helperThatCannotRun_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing" << QStringLiteral("无法打开Quelm浏览器：找不到内置浏览器程序“%1”");
        QTest::newRow("not executable") << "plain" << QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”不是可执行文件");
        QTest::newRow("directory") << "directory" << QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”不是可执行文件");
        QTest::newRow("not a program") << "garbage" << QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”启动失败（");
    }

    void helperThatCannotRun()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString path = m_dir->filePath("quelm-browser");
        if (kind == "directory") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind != "missing") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("\x7f" "ELF not really a program\n");
            file.close();
            if (kind == "garbage")
                QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeUser));
        }
        BrowserWindowProxy proxy(path);
        for (int call = 0; call < 2; ++call) {
            try {
                call == 0 ? proxy.Show() : proxy.Navigate("http://x/");
                QFAIL("no error for a helper that cannot run");
            } catch (const QuelmError& error) {
                const QString what = QString::fromUtf8(error.what());
                QVERIFY2(what.startsWith(message.arg(path)), qPrintable(what));
            }
            QVERIFY(!proxy.isHelperRunning());
        }
    }

    void helperEndsWithTheProxy()
    {
        qint64 pid = 0;
        {
            BrowserWindowProxy proxy(QStringLiteral(FAKE_BROWSER_HELPER));
            proxy.Show();
            QTRY_COMPARE(helperPids().size(), 1);
            pid = helperPids().at(0);
        }
        // The destructor waited for the helper, which saw its input close.
        QCOMPARE(events().last(), QByteArray("eof"));
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
    }

    void defaultHelperPath()
    {
        QCOMPARE(BrowserWindowProxy::defaultHelperPath(),
                 QCoreApplication::applicationDirPath() + "/quelm-browser");

        const QString bin = m_dir->filePath("bin");
        const QString installed = m_dir->filePath("lib/quelm/quelm-browser");
        QVERIFY(QDir().mkpath(bin));
        QCOMPARE(BrowserWindowProxy::defaultHelperPath(bin), bin + "/quelm-browser");
        QVERIFY(QDir().mkpath(m_dir->filePath("lib/quelm")));
        QVERIFY(QFile(installed).open(QIODevice::WriteOnly));
        QCOMPARE(BrowserWindowProxy::defaultHelperPath(bin), installed);
        QVERIFY(QFile(bin + "/quelm-browser").open(QIODevice::WriteOnly));
        QCOMPARE(BrowserWindowProxy::defaultHelperPath(bin), bin + "/quelm-browser");
    }
};

int runBrowserWindowProxyTests(int argc, char** argv)
{
    TestBrowserWindowProxy suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "TestBrowserWindowProxy.moc"
