#include "SearchTests.h"

#include "QuelmError.h"
#include "RecordingSearchOpener.h"
#include "SearchDispatcher.h"
#include "UserEngine.h"

#include <QTest>

namespace {

const QString Welcome = QStringLiteral("status 欢迎使用Quelm搜索寻踪客！");
const QString Google = QStringLiteral("http://www.google.com/search?q=");
const QString Baidu = QStringLiteral("http://www.baidu.com/baidu?word=");
const QString Sohu = QStringLiteral("http://search.sohu.com/website.jsp?key_word=");
const QString Ftp3721 = QStringLiteral("http://cns.3721.com/cns.dll?name=");
const QString Book = QStringLiteral("http://www.pcbookcn.com/search.asp?action=title&keyword=");
const QString Games = QStringLiteral("http://games.sina.com.cn/cgi-bin/games/search/searchgames.cgi?cat=");
const QString FlashSong = QStringLiteral("http://flash.chinamp3.com/flash_search.php?type=%B8%E8%C7%FA%C3%FB&key=");
const QString FlashSinger = QStringLiteral("http://flash.chinamp3.com/flash_search.php?type=%B8%E8%CA%D6%C3%FB&key=");

QStringList run(RecordingSearchOpener& host)
{
    host.events.clear();
    SearchDispatcher(host).run(host.request());
    return host.events;
}

} // namespace

class TestSearchDispatcher final : public QObject
{
    Q_OBJECT

private slots:
    void noTickedRowOpensNothing_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("external") << "" << QStringList{Welcome};
        QTest::newRow("built-in window shown all the same") << "yes" << QStringList{"show", Welcome};
    }

    void noTickedRowOpensNothing()
    {
        RecordingSearchOpener host;
        QFETCH(QString, mode);
        host.modeText = mode;
        QTEST(run(host), "events");
    }

    void emptyQueryStillSearches()
    {
        RecordingSearchOpener host;
        host.ticked = {"sgoogle"};
        QCOMPARE(run(host), QStringList({"external " + Google, "status 正在连接google...", Welcome}));
    }

    void builtInModeNavigatesInCatalogueOrder()
    {
        RecordingSearchOpener host;
        host.modeText = "yes";
        host.query = "q";
        host.ticked = {"s3721", "sgoogle", "ssohu"};
        QCOMPARE(run(host), QStringList({"show", "navigate " + Google + "q", "status 正在连接google...",
                                         "navigate " + Sohu + "q", "status 正在连接sohu...", "navigate " + Ftp3721 + "q",
                                         "status 正在连接3721...", Welcome}));
    }

    void onlyExactYesMeansBuiltIn_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("yes") << "yes" << true;
        QTest::newRow("YES") << "YES" << false;
        QTest::newRow("trailing blank") << "yes " << false;
        QTest::newRow("leading blank") << " yes" << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("no") << "no" << false;
        QTest::newRow("empty") << "" << false;
    }

    void onlyExactYesMeansBuiltIn()
    {
        QFETCH(QString, mode);
        QFETCH(bool, builtIn);
        RecordingSearchOpener host;
        host.modeText = mode;
        host.query = "x";
        host.ticked = {"sgoogle"};
        const QStringList events = run(host);
        const QString open = (builtIn ? "navigate " : "external ") + Google + "x";
        QCOMPARE(events.first(), builtIn ? QStringLiteral("show") : open);
        QCOMPARE(events.count(open), 1);
        QCOMPARE(events.size(), builtIn ? 4 : 3);
    }

    void onlyTheTickedRowOpens_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("ssohu") << "ssohu" << QStringList{"external " + Sohu + "k", "status 正在连接sohu...", Welcome};
        QTest::newRow("s163") << "s163"
                              << QStringList{"external http://search.163.com/google/Search?q=k",
                                             "status 正在连接163.com...", Welcome};
    }

    void onlyTheTickedRowOpens()
    {
        RecordingSearchOpener host;
        QFETCH(QString, row);
        host.query = "k";
        host.ticked = {row};
        QTEST(run(host), "events");
    }

    void queryIsEncodedAsGb18030_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("hash") << "C#" << "C%23";
        QTest::newRow("ampersand") << "AT&T" << "AT%26T";
        QTest::newRow("plus") << "C++" << "C%2B%2B";
        QTest::newRow("percent and blank") << "100% sure" << "100%25%20sure";
        QTest::newRow("query characters") << "a?b=c/d" << "a%3Fb%3Dc%2Fd";
        QTest::newRow("unreserved") << "Az09-._~" << "Az09-._~";
        QTest::newRow("Chinese") << "中文" << "%D6%D0%CE%C4";
        QTest::newRow("outside GBK") << "😀" << "%949%FC6";
        QTest::newRow("leading and trailing blanks") << " x " << "%20x%20";
    }

    void queryIsEncodedAsGb18030()
    {
        RecordingSearchOpener host;
        QFETCH(QString, query);
        QFETCH(QString, encoded);
        host.query = query;
        host.ticked = {"sbaidu1"};
        QCOMPARE(run(host).first(), "external " + Baidu + encoded);
    }

    void userEnginesFollowTheCatalogueInEitherMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("verb");
        QTest::newRow("external") << "" << "external ";
        QTest::newRow("built-in") << "yes" << "navigate ";
    }

    void userEnginesFollowTheCatalogueInEitherMode()
    {
        RecordingSearchOpener host;
        QFETCH(QString, mode);
        QFETCH(QString, verb);
        host.modeText = mode;
        host.query = "你好";
        host.ticked = {"sgoogle"};
        UserEngine big5;
        big5.name = "台湾站";
        big5.address = "https://b.tw/s?q=%s&c=%s";
        big5.charset = "BIG5";
        UserEngine other;
        other.name = "其它页";
        other.address = "https://o.cn/?q=%s";
        SearchRequest request = host.request();
        request.rows.append({big5.searchEngine(SearchCategory::General), QString()});
        request.rows.append({other.searchEngine(SearchCategory::Other), QString()});
        SearchDispatcher(host).run(request);
        QStringList events = host.events;
        if (mode == "yes")
            QCOMPARE(events.takeFirst(), "show");
        QCOMPARE(events, QStringList({verb + Google + "%E4%BD%A0%E5%A5%BD", "status 正在连接google...",
                                      verb + "https://b.tw/s?q=%A7A%A6n&c=%A7A%A6n", "status 正在连接台湾站...",
                                      Welcome}));
    }

    void googleTakesUtf8AndBaiduGb18030()
    {
        RecordingSearchOpener host;
        host.query = "你好 C#";
        host.ticked = {"sgoogle", "sbaidu1"};
        QCOMPARE(run(host).mid(0, 4), QStringList({"external " + Google + "%E4%BD%A0%E5%A5%BD%20C%23",
                                                   "status 正在连接google...",
                                                   "external " + Baidu + "%C4%E3%BA%C3%20C%23",
                                                   "status 正在连接baidu..."}));
    }

    void typedRowsPutTheirSelectorTextInTheAddress()
    {
        RecordingSearchOpener host;
        host.showingPage = SearchCategory::Entertainment;
        host.query = "k";
        host.ticked = {"schinamp3", "schinageci"};
        const QString mp3 = "http://www.chinamp3.com/mp3search/searchcontent.php?type=";
        const QString songs = mp3 + "%B8%E8%C7%FA%C3%FB%CB%D1%CB%F7&key=k";
        QCOMPARE(run(host), QStringList({"external " + songs, "status 正在连接chinamp3...", "external " + songs,
                                         "status 正在连接chinamp3...", Welcome}));

        host.ticked = {"schinamp3"};
        host.selectors["chinam1"] = "abc";
        QCOMPARE(run(host).first(), "external " + mp3 + "abc&key=k");
        host.selectors["chinam1"] = "a b&key=c";
        QCOMPARE(run(host).first(), "external " + mp3 + "a%20b%26key%3Dc&key=k");
    }

    void chinaFlashChoices_data()
    {
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QStringList>("events");
        // The song choice announces nothing: the previous row's text goes straight to the closing texts.
        QTest::newRow("song") << "歌曲名搜索"
                              << QStringList{"external http://mp3.baidu.com/wstsearch?tn=baidump3&ct=134217728&lm=-1&word=k",
                                             "status 正在连接baidu...", "external " + FlashSong + "k", Welcome};
        QTest::newRow("singer") << "歌手名搜索"
                                << QStringList{"external http://mp3.baidu.com/wstsearch?tn=baidump3&ct=134217728&lm=-1&word=k",
                                               "status 正在连接baidu...", "external " + FlashSinger + "k",
                                               "status 正在连接chinamp3...", Welcome};
        const QStringList nothing{"external http://mp3.baidu.com/wstsearch?tn=baidump3&ct=134217728&lm=-1&word=k",
                                  "status 正在连接baidu...", Welcome};
        QTest::newRow("typed text") << "abc" << nothing;
        QTest::newRow("empty") << "" << nothing;
        QTest::newRow("item with a blank") << "歌曲名搜索 " << nothing;
    }

    void chinaFlashChoices()
    {
        RecordingSearchOpener host;
        QFETCH(QString, selector);
        host.showingPage = SearchCategory::Entertainment;
        host.query = "k";
        host.ticked = {"schinaflash", "sbaidu3"};
        host.selectors["chinam3"] = selector;
        QTEST(run(host), "events");
    }

    void sinaGameOpensItsChoiceOnce_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("selector");
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("built-in, 秘籍: built-in window only")
            << "yes" << "秘籍" << QStringList{"ssinagame"}
            << QStringList{"show", "navigate " + Games + "miji&keywords=k", "status 正在连接sina...", Welcome};
        QTest::newRow("external, 游戏") << "" << "游戏" << QStringList{"ssinagame"}
                                      << QStringList{"external " + Games + "downgames&keywords=k",
                                                     "status 正在连接sina...", Welcome};
        QTest::newRow("external, 攻略") << "" << "攻略" << QStringList{"ssinagame"}
                                      << QStringList{"external " + Games + "gonglue&keywords=k",
                                                     "status 正在连接sina...", Welcome};
        // An unmatched text no longer reopens the previous row's page or starts an empty browser.
        QTest::newRow("unmatched after the book row")
            << "" << "abc" << QStringList{"ssinagame", "schinabook"}
            << QStringList{"external " + Book + "k", "status 正在连接pcbookcn...", Welcome};
        QTest::newRow("unmatched alone") << "" << "abc" << QStringList{"ssinagame"} << QStringList{Welcome};
        QTest::newRow("unmatched, built-in") << "yes" << "游戏 " << QStringList{"ssinagame"}
                                             << QStringList{"show", Welcome};
    }

    void sinaGameOpensItsChoiceOnce()
    {
        RecordingSearchOpener host;
        QFETCH(QString, mode);
        QFETCH(QString, selector);
        QFETCH(QStringList, ticked);
        host.modeText = mode;
        host.showingPage = SearchCategory::Other;
        host.query = "k";
        host.ticked = QSet<QString>(ticked.cbegin(), ticked.cend());
        host.selectors["sinagame"] = selector;
        QTEST(run(host), "events");
    }

    // No catalogue, no window: the rows carry their own engines, the request is all there is.
    void requestInOpeningsAndStatusTextsOut()
    {
        SearchEngine own = *EngineCatalogue::find("sbaidu1");
        own.host = "example.org";
        own.prefix = "/find?q=";
        own.statusText = "正在连接example...";
        SearchEngine typed = *EngineCatalogue::find("schinamp3");
        typed.category = SearchCategory::General;
        SearchEngine otherPage = *EngineCatalogue::find("sonline");
        SearchRequest request;
        request.page = SearchCategory::General;
        request.rows = {{own, {}}, {otherPage, {}}, {typed, "歌手"}};
        request.query = "中 q";
        RecordingSearchOpener opener;
        SearchDispatcher(opener).run(request);
        QCOMPARE(opener.events,
                 QStringList({"external http://example.org/find?q=%D6%D0%20q", "status 正在连接example...",
                              "external http://www.chinamp3.com/mp3search/searchcontent.php?type=%B8%E8%CA%D6&key=%D6%D0%20q",
                              "status 正在连接chinamp3...", Welcome}));
    }

    void onlyTheShowingPageIsSearched()
    {
        RecordingSearchOpener host;
        host.ticked = {"sgoogle", "sonline"};
        QCOMPARE(run(host).first(), "external " + Google);
        host.showingPage = SearchCategory::Software;
        QCOMPARE(run(host), QStringList({"external http://www.onlinedown.net/ss.php?q=", "status 正在连接online...", Welcome}));
        host.showingPage.reset(); // main window hidden
        QCOMPARE(run(host), QStringList({Welcome}));
    }

    void navigationFailureEndsTheSearchAtThatRow()
    {
        RecordingSearchOpener host;
        host.modeText = "yes";
        host.ticked = {"sgoogle", "ssohu", "s3721"};
        host.onOpen = [](const QString& event) {
            if (event.contains("sohu"))
                throw std::runtime_error("navigation failed");
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, run(host));
        QCOMPARE(host.events, QStringList({"show", "navigate " + Google, "status 正在连接google...", "navigate " + Sohu}));
    }

    void browserThatCannotStartEndsTheSearch()
    {
        RecordingSearchOpener host;
        host.ticked = {"sgoogle", "ssohu"};
        host.onOpen = [](const QString&) { throw QuelmError("无法打开浏览器：找不到程序“xdg-open”。"); };
        try {
            run(host);
            QFAIL("the search went on");
        } catch (const QuelmError& error) {
            QVERIFY(QString::fromUtf8(error.what()).contains("xdg-open"));
        }
        // No status text claims the engine was reached.
        QCOMPARE(host.events, QStringList({"external " + Google}));
    }
};

int runSearchDispatcherTests(int argc, char** argv)
{
    TestSearchDispatcher tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestSearchDispatcher.moc"
