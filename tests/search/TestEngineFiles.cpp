#include "SearchTests.h"

#include "EnginesFile.h"
#include "OpenSearchDocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

UserEngine engine(const QString& name, const QString& address, const QString& charset, bool ticked)
{
    UserEngine e;
    e.name = name;
    e.address = address;
    e.charset = charset;
    e.checkedAtStart = ticked;
    return e;
}

EngineSetup changedSetup()
{
    EngineSetup setup;
    setup.setShown("syahoo", false);
    setup.setShown("s3721", false);
    setup.setCheckedAtStart(*EngineCatalogue::find("sgoogle"), false);
    setup.setCheckedAtStart(*EngineCatalogue::find("sbaidu1"), true);
    setup.userEngines(SearchCategory::General)
        << engine("Bing", "https://www.bing.com/search?q=%s", "UTF-8", true)
        << engine("维基 = 百科", "https://zh.wikipedia.org/w/index.php?search=%s&x=%s", "GB18030", false);
    setup.userEngines(SearchCategory::Other) << engine("Big5", "http://b.tw/?q=%s", "BIG5", false);
    return setup;
}

} // namespace

Q_DECLARE_METATYPE(UserEngine)

class TestEngineFiles final : public QObject
{
    Q_OBJECT

private slots:
    void setupSurvivesTheFile()
    {
        const EngineSetup setup = changedSetup();
        EngineSetup read;
        const auto problem = EnginesFile::parse(EnginesFile::write(setup), read);
        QVERIFY2(!problem, qPrintable(problem ? problem->reason : QString()));
        QVERIFY(read == setup);
        QVERIFY(read != EngineSetup());
        QCOMPARE(read.shownRows(SearchCategory::General).size(), 9);

        // An empty file and a file of defaults are the catalogue.
        EngineSetup empty;
        QVERIFY(!EnginesFile::parse("", empty));
        QVERIFY(empty == EngineSetup());
        QVERIFY(!EnginesFile::parse(EnginesFile::write(EngineSetup()), empty));
        QVERIFY(empty == EngineSetup());
        // "恢复默认" brings a page's rows back, keeping the user's engines.
        read.restoreDefaults(SearchCategory::General);
        QVERIFY(read.isShown("syahoo"));
        QVERIFY(read.isCheckedAtStart(*EngineCatalogue::find("sgoogle")));
        QCOMPARE(read.userEngines(SearchCategory::General).size(), 2);
    }

    void brokenFilesNameTheLine_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("key before a group") << QByteArray("# c\nhidden = syahoo\n") << 2 << "缺少组名";
        QTest::newRow("unknown group") << QByteArray("[ts5]\n") << 1 << "不认识的组";
        QTest::newRow("no closing bracket") << QByteArray("\n[ts1\n") << 2 << "缺少“]”";
        QTest::newRow("no equals sign") << QByteArray("[ts1]\nhidden\n") << 2 << "键 = 值";
        QTest::newRow("row of another page") << QByteArray("[ts1]\nhidden = sonline\n") << 2 << "不是页面 ts1";
        QTest::newRow("unknown key") << QByteArray("[ts2]\nshown = x\n") << 2 << "不认识的键";
        QTest::newRow("group twice") << QByteArray("[ts1]\n[ts1]\n") << 2 << "第二次";
        QTest::newRow("tick out of range")
            << QByteArray("[engine]\npage=ts1\nname=a\naddress=http://a/%s\nticked=maybe\n") << 5 << "yes 或 no";
        QTest::newRow("page out of range") << QByteArray("[engine]\npage=ts9\n") << 2 << "ts9";
        QTest::newRow("engine without page") << QByteArray("\n[engine]\nname=a\naddress=http://a/%s\n") << 2 << "page";
        QTest::newRow("address without %s")
            << QByteArray("[engine]\npage=ts1\nname=a\naddress=http://a/\n") << 4 << "%s";
        QTest::newRow("javascript address")
            << QByteArray("[engine]\npage=ts1\nname=a\naddress=javascript:%s\n") << 4 << "http://";
        QTest::newRow("unknown set") << QByteArray("[engine]\npage=ts1\nname=a\naddress=http://a/%s\ncharset=X-9\n")
                                     << 5 << "X-9";
        QTest::newRow("empty name") << QByteArray("[engine]\npage=ts1\naddress=http://a/%s\n") << 1 << "名称";
        QTest::newRow("name too long") << "[engine]\npage=ts1\nname=" + QByteArray(1001, 'n') +
                                              "\naddress=http://a/%s\n"
                                       << 3 << "1001";
        QTest::newRow("not UTF-8") << QByteArray("[ts1]\n\nhidden = \xff\n") << 3 << "UTF-8";
        QTest::newRow("NUL byte") << QByteArray("[ts1]\n\0\n", 9) << 2 << "空字节";
    }

    void brokenFilesNameTheLine()
    {
        QFETCH(QByteArray, text);
        EngineSetup setup = changedSetup();
        const auto problem = EnginesFile::parse(text, setup);
        QVERIFY(problem);
        QTEST(problem->line, "line");
        QFETCH(QString, reason);
        QVERIFY2(problem->reason.contains(reason), qPrintable(problem->reason));
        QVERIFY(setup == changedSetup());
    }

    void brokenFileStaysUntilASaveKeepsIt_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("broken text") << false;
        QTest::newRow("not a regular file") << true;
    }

    void brokenFileStaysUntilASaveKeepsIt()
    {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath("engines.ini");
        const QByteArray broken("[ts1]\nhidden = sgoogle\n\n[engine]\npage = ts1\nname = x\naddress = ftp://x/%s\n");
        if (folder)
            QVERIFY(QDir().mkpath(path + "/inside"));
        else
            writeFile(path, broken);
        writeFile(path + ".broken", "an older one");

        EnginesFile file(path);
        QVERIFY(file.load() == EngineSetup());
        QVERIFY2(file.message().contains(path + (folder ? " 无法使用：不是普通文件" : " 第 7 行")),
                 qPrintable(file.message()));
        QCOMPARE(file.keptPath(), path + ".broken-2");
        QVERIFY(file.message().contains(file.keptPath()));
        if (!folder)
            QCOMPARE(readAll(path), broken);

        QCOMPARE(file.save(changedSetup()), QString());
        QCOMPARE(readAll(path + ".broken"), QByteArray("an older one"));
        if (folder)
            QVERIFY(QFileInfo(path + ".broken-2/inside").isDir());
        else
            QCOMPARE(readAll(path + ".broken-2"), broken);
        EnginesFile again(path);
        QVERIFY(again.load() == changedSetup());
        QCOMPARE(again.message(), QString());
        QCOMPARE(again.save(EngineSetup()), QString());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
    }

    void badEnginesSayWhatToChange_data()
    {
        QTest::addColumn<UserEngine>("engine");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("advice");
        const auto F = [](EngineProblem::Field f) { return int(f); };
        QTest::newRow("empty name") << engine("  ", "http://a/%s", "UTF-8", false) << F(EngineProblem::Field::Name)
                                    << "请填写名称";
        QTest::newRow("long name") << engine(QString(1001, 'x'), "http://a/%s", "UTF-8", false)
                                   << F(EngineProblem::Field::Name) << "最多 1000";
        QTest::newRow("long address") << engine("a", "http://a/%s" + QString(990, 'x'), "UTF-8", false)
                                      << F(EngineProblem::Field::Address) << "最多 1000";
        QTest::newRow("no %s") << engine("a", "https://a/?q=", "UTF-8", false) << F(EngineProblem::Field::Address)
                               << "缺少“%s”";
        QTest::newRow("%s in the host") << engine("a", "https://%s.a/", "UTF-8", false)
                                        << F(EngineProblem::Field::Address) << "主机名之后";
        QTest::newRow("file:") << engine("a", "file:///%s", "UTF-8", false) << F(EngineProblem::Field::Address)
                               << "http://";
        QTest::newRow("javascript:") << engine("a", "javascript:alert('%s')", "UTF-8", false)
                                     << F(EngineProblem::Field::Address) << "https://";
        QTest::newRow("data:") << engine("a", "data:text/html,%s", "UTF-8", false) << F(EngineProblem::Field::Address)
                               << "http://";
        QTest::newRow("bare word") << engine("a", "bing%s", "UTF-8", false) << F(EngineProblem::Field::Address)
                                   << "http://";
        QTest::newRow("no host") << engine("a", "http:///%s", "UTF-8", false) << F(EngineProblem::Field::Address)
                                 << "主机名";
        QTest::newRow("unknown set") << engine("a", "http://a/%s", "GB2312//IGNORE", false)
                                     << F(EngineProblem::Field::Charset) << "GB2312//IGNORE";
    }

    void badEnginesSayWhatToChange()
    {
        QFETCH(UserEngine, engine);
        const std::optional<EngineProblem> problem = UserEngineCheck::problemOf(engine);
        QVERIFY(problem);
        QTEST(int(problem->field), "field");
        QFETCH(QString, advice);
        QVERIFY2(problem->message.contains(advice), qPrintable(problem->message));
        engine.name = QString(1000, u'名');
        engine.address = "HTTPS://例子.cn/?q=%s";
        engine.charset = "EUC-KR";
        QVERIFY(!UserEngineCheck::problemOf(engine));
    }

    void openSearchImportsAndExportsBack()
    {
        const QByteArray document =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<OpenSearchDescription xmlns=\"http://a9.com/-/spec/opensearch/1.1/\">\n"
            "  <ShortName>  Dict\n"
            "    CN </ShortName>\n"
            "  <InputEncoding>GBK</InputEncoding>\n"
            "  <InputEncoding>UTF-8</InputEncoding>\n"
            "  <Image width=\"16\" height=\"16\">https://dict.example.cn/icon.png</Image>\n"
            "  <Url type=\"application/rss+xml\" template=\"https://dict.example.cn/rss?q={searchTerms}\"/>\n"
            "  <Url type=\"text/html\" method=\"POST\" template=\"https://dict.example.cn/post\"/>\n"
            "  <Url type=\"text/html\" "
            "template=\"https://dict.example.cn/"
            "s?start={startIndex?}&amp;q={searchTerms}&amp;ie={inputEncoding}&amp;n={count?}&amp;p={startPage}\"/>\n"
            "</OpenSearchDescription>";
        const OpenSearchDocument::Read read = OpenSearchDocument::parse(document);
        QVERIFY2(read.engine, qPrintable(read.error));
        QCOMPARE(read.engine->name, "Dict CN");
        QCOMPARE(read.engine->charset, "GBK");
        QCOMPARE(read.engine->address, "https://dict.example.cn/s?q=%s&ie=GBK&p=1");

        QTemporaryDir dir;
        const QString path = dir.filePath("dict.xml");
        writeFile(path, OpenSearchDocument::write(*read.engine));
        const OpenSearchDocument::Read back = OpenSearchDocument::readFile(path);
        QVERIFY2(back.engine, qPrintable(back.error));
        QVERIFY(*back.engine == *read.engine);

        // Mozilla's form, without an encoding: UTF-8.
        const OpenSearchDocument::Read mozilla = OpenSearchDocument::parse(
            "<SearchPlugin xmlns=\"http://www.mozilla.org/2006/browser/search/\"><ShortName>M</ShortName>"
            "<Url type=\"text/html\" method=\"GET\" template=\"https://m.org/find\"><Param name=\"q\" "
            "value=\"{searchTerms}\"/>"
            "</Url></SearchPlugin>");
        QVERIFY2(mozilla.engine, qPrintable(mozilla.error));
        QCOMPARE(mozilla.engine->address, "https://m.org/find?q=%s");
        QCOMPARE(mozilla.engine->charset, "UTF-8");
    }

    void badOpenSearchFilesAreNamed_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not XML") << QByteArray("ShortName=x") << "XML";
        QTest::newRow("broken XML") << QByteArray("<OpenSearchDescription><Url></OpenSearchDescription>") << "XML";
        QTest::newRow("other document") << QByteArray("<html/>") << "根元素";
        QTest::newRow("no text/html Url")
            << QByteArray("<OpenSearchDescription><Url type='application/json' template='http://a/{searchTerms}'/>"
                          "</OpenSearchDescription>")
            << "text/html";
        QTest::newRow("no {searchTerms}")
            << QByteArray("<OpenSearchDescription><Url type='text/html' template='http://a/'/></OpenSearchDescription>")
            << "{searchTerms}";
        QTest::newRow("POST only")
            << QByteArray(
                   "<OpenSearchDescription><Url type='text/html' method='post' template='http://a/{searchTerms}'/>"
                   "</OpenSearchDescription>")
            << "POST";
        QTest::newRow("over 1 MiB") << "<OpenSearchDescription>" + QByteArray(1024 * 1024, ' ') +
                                           "</OpenSearchDescription>"
                                    << "1 MiB";
        QTest::newRow("unreadable") << QByteArray() << "不是普通文件";
    }

    void badOpenSearchFilesAreNamed()
    {
        QFETCH(QByteArray, document);
        QTemporaryDir dir;
        QString path = dir.filePath("engine.xml");
        if (document.isEmpty())
            QVERIFY(QDir().mkpath(path));
        else
            writeFile(path, document);
        const OpenSearchDocument::Read read = OpenSearchDocument::readFile(path);
        QVERIFY(!read.engine);
        QFETCH(QString, reason);
        QVERIFY2(read.error.startsWith("无法导入 " + path + "：") && read.error.contains(reason),
                 qPrintable(read.error));
    }
};

int runEngineFilesTests(int argc, char** argv)
{
    TestEngineFiles tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestEngineFiles.moc"
