#include "SearchTests.h"

#include "EngineCatalogue.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

class TestEngineCatalogue final : public QObject
{
    Q_OBJECT

private slots:
    void categoriesInPageOrder()
    {
        const QList<CategoryPage>& pages = EngineCatalogue::categories();
        QCOMPARE(pages.size(), 4);
        const QStringList names{"ts1", "ts2", "ts3", "ts4"};
        const QStringList captions{"综合", "娱乐", "软件", "其它"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(int(pages.at(i).category), i);
            QCOMPARE(pages.at(i).pageName, names.at(i));
            QCOMPARE(pages.at(i).tabCaption, captions.at(i));
        }
    }

    void rowsGroupedByPageInDispatchOrder()
    {
        const QList<SearchEngine>& rows = EngineCatalogue::engines();
        QCOMPARE(rows.size(), 29);
        // Pages hold 11, 7, 7 and 4 rows, one page after the other.
        const QList<int> expected{11, 7, 7, 4};
        int row = 0;
        for (int page = 0; page < 4; ++page) {
            const QList<SearchEngine> ofPage = EngineCatalogue::enginesOf(SearchCategory(page));
            QCOMPARE(ofPage.size(), expected.at(page));
            for (const SearchEngine& engine : ofPage)
                QCOMPARE(engine.checkBox, rows.at(row++).checkBox);
        }
        QCOMPARE(rows.first().checkBox, QStringLiteral("sgoogle"));
        QCOMPARE(rows.at(5).checkBox, QStringLiteral("s163"));
        QCOMPARE(rows.at(9).checkBox, QStringLiteral("schina"));
        QCOMPARE(rows.at(17).checkBox, QStringLiteral("schinaflash"));
        QCOMPARE(rows.last().checkBox, QStringLiteral("ssinagame"));
    }

    void hostsAreDistinctExceptTheSharedChinamp3Host()
    {
        QSet<QString> hosts;
        const QRegularExpression hostName(QStringLiteral("^[a-z0-9-]+(\\.[a-z0-9-]+)+$"));
        for (const SearchEngine& engine : EngineCatalogue::engines()) {
            QVERIFY2(hostName.match(engine.host).hasMatch(), qPrintable(engine.host));
            hosts.insert(engine.host);
        }
        QCOMPARE(hosts.size(), 28);
        QCOMPARE(EngineCatalogue::find("schinamp3")->host, EngineCatalogue::find("schinageci")->host);
    }

    void oneRowPerPageTickedAtStart()
    {
        QStringList ticked;
        for (const SearchEngine& engine : EngineCatalogue::engines()) {
            if (engine.checkedAtStart)
                ticked.append(engine.checkBox);
        }
        QCOMPARE(ticked, QStringList({"sgoogle", "schinamp3", "sonline", "sbeidaftp"}));
    }

    void exactTexts_data()
    {
        QTest::addColumn<QString>("checkBox");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("status");
        QTest::newRow("trailing blank") << "senet" << "硅谷动力 " << "/search.php?condition=" << "正在连接enet...";
        QTest::newRow("blank inside") << "schinamp3" << "Chinamp3 歌曲搜索" << "/mp3search/searchcontent.php?type="
                                      << "正在连接chinamp3...";
        QTest::newRow("brackets") << "sdelphibbs" << "大富翁论坛搜索(delphi编程资料)" << "/search.jsp?S1="
                                  << "正在连接richsearch...";
        QTest::newRow("misspelt caption") << "s163flash" << "网易Fash搜索" << "/first.php?mo=100&check_fonts="
                                          << "正在连接163.com...";
        QTest::newRow("NetEase") << "s163" << "网易搜索" << "/google/Search?q=" << "正在连接163.com...";
        QTest::newRow("china") << "schina" << "中华网" << "/cgi-bin/chinapagev2.exe?lg=0&word=" << "正在连接china...";
        QTest::newRow("ftp") << "sbeidaftp" << "北大天网Ftp 文件资源搜索" << "/scripts/ftp_search.exe?word="
                             << "正在连接bingle...";
        QTest::newRow("long prefix") << "sbaidu3" << "百度歌曲搜索" << "/wstsearch?tn=baidump3&ct=134217728&lm=-1&word="
                                     << "正在连接baidu...";
    }

    void exactTexts()
    {
        QFETCH(QString, checkBox);
        const SearchEngine* engine = EngineCatalogue::find(checkBox);
        QVERIFY(engine);
        QTEST(engine->caption, "caption");
        QTEST(engine->prefix, "prefix");
        QTEST(engine->statusText, "status");
    }

    void everyRowHasAWellFormedAddressPart()
    {
        for (const SearchEngine& engine : EngineCatalogue::engines()) {
            QVERIFY2(engine.statusText.startsWith("正在连接") && engine.statusText.endsWith("..."),
                     qPrintable(engine.checkBox));
            if (engine.form == UrlForm::Choice) {
                QVERIFY(engine.prefix.isEmpty());
                QVERIFY(!engine.choices.isEmpty());
            } else {
                QVERIFY2(engine.prefix.startsWith('/') && engine.prefix.endsWith('='), qPrintable(engine.checkBox));
            }
            QCOMPARE(engine.selector.isEmpty(), engine.form == UrlForm::Plain);
            const bool ownRule = engine.checkBox == "schinaflash" || engine.checkBox == "ssinagame";
            QCOMPARE(engine.rule != OpeningRule::Standard, ownRule);
        }
    }

    void choiceTables()
    {
        const SearchEngine* flash = EngineCatalogue::find("schinaflash");
        QCOMPARE(flash->rule, OpeningRule::ChinaFlash);
        QCOMPARE(flash->selector, QStringLiteral("chinam3"));
        QCOMPARE(flash->choices.size(), 2);
        QCOMPARE(flash->choices.at(0).selectorText, QStringLiteral("歌曲名搜索"));
        QCOMPARE(flash->choices.at(0).prefix, QStringLiteral("/flash_search.php?type=歌曲名&key="));
        QCOMPARE(flash->choices.at(1).selectorText, QStringLiteral("歌手名搜索"));
        QCOMPARE(flash->choices.at(1).prefix, QStringLiteral("/flash_search.php?type=歌手名&key="));

        const SearchEngine* games = EngineCatalogue::find("ssinagame");
        QCOMPARE(games->rule, OpeningRule::SinaGame);
        QCOMPARE(games->selector, QStringLiteral("sinagame"));
        const QStringList texts{"游戏", "秘籍", "攻略"};
        const QStringList cats{"downgames", "miji", "gonglue"};
        QCOMPARE(games->choices.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(games->choices.at(i).selectorText, texts.at(i));
            QCOMPARE(games->choices.at(i).prefix,
                     "/cgi-bin/games/search/searchgames.cgi?cat=" + cats.at(i) + "&keywords=");
        }

        QCOMPARE(EngineCatalogue::find("schinamp3")->form, UrlForm::Typed);
        QCOMPARE(EngineCatalogue::find("schinamp3")->selector, QStringLiteral("chinam1"));
        QCOMPARE(EngineCatalogue::find("schinageci")->form, UrlForm::Typed);
        QCOMPARE(EngineCatalogue::find("schinageci")->selector, QStringLiteral("chinam2"));
    }

    void selectors()
    {
        const QList<SelectorBox>& boxes = EngineCatalogue::selectors();
        QCOMPARE(boxes.size(), 4);
        const QStringList names{"chinam1", "chinam2", "chinam3", "sinagame"};
        for (int i = 0; i < 4; ++i) {
            const SelectorBox& box = boxes.at(i);
            QCOMPARE(box.name, names.at(i));
            QCOMPARE(box.initialText, box.items.first());
            const bool songs = i < 3;
            QCOMPARE(box.category, songs ? SearchCategory::Entertainment : SearchCategory::Other);
            QCOMPARE(box.windowColourBackground, songs);
            QCOMPARE(box.items, songs ? QStringList({"歌曲名搜索", "歌手名搜索"}) : QStringList({"游戏", "秘籍", "攻略"}));
        }
    }

    void selectorsSitRightOfTheirRows()
    {
        for (const SearchEngine& engine : EngineCatalogue::engines()) {
            if (engine.selector.isEmpty())
                continue;
            const auto& boxes = EngineCatalogue::selectors();
            const auto box = std::find_if(boxes.cbegin(), boxes.cend(),
                                          [&](const SelectorBox& b) { return b.name == engine.selector; });
            QVERIFY2(box != boxes.cend(), qPrintable(engine.selector));
            QCOMPARE(box->category, engine.category);
            QVERIFY(box->placement.left > engine.placement.left + engine.placement.width / 2);
            QVERIFY(qAbs(box->placement.top - engine.placement.top) <= 3);
        }
    }

    void tabOrderIsAPermutationPerPage()
    {
        for (const CategoryPage& page : EngineCatalogue::categories()) {
            QList<int> orders;
            for (const SearchEngine& engine : EngineCatalogue::enginesOf(page.category))
                orders.append(engine.placement.tabOrder);
            for (const SelectorBox& box : EngineCatalogue::selectors()) {
                if (box.category == page.category)
                    orders.append(box.placement.tabOrder);
            }
            std::sort(orders.begin(), orders.end());
            for (int i = 0; i < orders.size(); ++i)
                QCOMPARE(orders.at(i), i);
        }
        QCOMPARE(EngineCatalogue::find("ssina")->placement.tabOrder, 0);
        QCOMPARE(EngineCatalogue::find("sbeida")->placement.tabOrder, 10);
        QCOMPARE(EngineCatalogue::find("sdelphibbs")->placement.width, 209);
    }

    void findGivesTheCatalogueRow()
    {
        const SearchEngine* row = EngineCatalogue::find("ssohuit");
        QVERIFY(row);
        QCOMPARE(row, &EngineCatalogue::engines().at(23));
        QCOMPARE(EngineCatalogue::find("SSOHUIT"), nullptr);
        QCOMPARE(EngineCatalogue::find(QString()), nullptr);
    }
};

int runEngineCatalogueTests(int argc, char** argv)
{
    TestEngineCatalogue tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestEngineCatalogue.moc"
