#include "SearchTests.h"

#include "Charset.h"
#include "UrlComposer.h"

#include <QTest>

class TestUrlComposer final : public QObject
{
    Q_OBJECT

private slots:
    void gb18030Bytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("ascii") << "C++ & C#" << QByteArray("C++ & C#");
        QTest::newRow("song name") << "歌曲名" << QByteArray::fromHex("b8e8c7fac3fb");
        QTest::newRow("singer name") << "歌手名" << QByteArray::fromHex("b8e8cad6c3fb");
        QTest::newRow("mixed") << "a中b" << QByteArray::fromHex("61d6d062");
        // Outside GBK: four-byte GB18030, not "?".
        QTest::newRow("emoji") << "😀" << QByteArray::fromHex("9439fc36");
        QTest::newRow("CJK extension B") << QString::fromUcs4(U"\U00020000") << QByteArray::fromHex("95328236");
    }

    void gb18030Bytes()
    {
        QFETCH(QString, text);
        QTEST(UrlComposer::toGb18030(text), "bytes");
    }

    void percentEncodingKeepsOnlyUnreservedCharacters()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QByteArray encoded = UrlComposer::percentEncode(all);
        QCOMPARE(QByteArray::fromPercentEncoding(encoded), all);
        for (int i = 0; i < encoded.size(); ++i) {
            const char c = encoded.at(i);
            if (c == '%') {
                const QByteArray hex = encoded.mid(i + 1, 2);
                QCOMPARE(hex, hex.toUpper());
                i += 2;
                continue;
            }
            QVERIFY2(QByteArrayLiteral("-._~").contains(c) || QChar::isLetterOrNumber(uchar(c)),
                     QByteArray(1, c).constData());
        }
        QCOMPARE(encoded.count('%'), 256 - 66); // 62 letters and digits, 4 marks
    }

    void prefixesKeepTheirAsciiAndEncodeTheirChinese()
    {
        QCOMPARE(UrlComposer::encodePrefix("/search?q="), QByteArray("/search?q="));
        QCOMPARE(UrlComposer::encodePrefix("/flash_search.php?type=歌曲名&key="),
                 QByteArray("/flash_search.php?type=%B8%E8%C7%FA%C3%FB&key="));
        QCOMPARE(UrlComposer::encodePrefix("/flash_search.php?type=歌手名&key="),
                 QByteArray("/flash_search.php?type=%B8%E8%CA%D6%C3%FB&key="));
    }

    void composedAddresses()
    {
        QCOMPARE(UrlComposer::plainUrl("www.google.com", "/search?q=", "AT&T C#"),
                 QByteArray("http://www.google.com/search?q=AT%26T%20C%23"));
        QCOMPARE(UrlComposer::plainUrl("www.google.com", "/search?q=", QString()),
                 QByteArray("http://www.google.com/search?q="));
        QCOMPARE(UrlComposer::typedUrl("www.chinamp3.com", "/t?type=", "歌曲名搜索", "a+b"),
                 QByteArray("http://www.chinamp3.com/t?type=%B8%E8%C7%FA%C3%FB%CB%D1%CB%F7&key=a%2Bb"));
        QCOMPARE(UrlComposer::typedUrl("h.cn", "/t?type=", "x&key=y", "q"), QByteArray("http://h.cn/t?type=x%26key%3Dy&key=q"));
    }

    void eachSetGivesItsOwnBytes_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("UTF-8") << "UTF-8" << "你好" << QByteArray("%E4%BD%A0%E5%A5%BD");
        QTest::newRow("GB18030") << "GB18030" << "你好" << QByteArray("%C4%E3%BA%C3");
        QTest::newRow("names in any case") << "gbk" << "你好" << QByteArray("%C4%E3%BA%C3");
        QTest::newRow("BIG5") << "BIG5" << "你好" << QByteArray("%A7A%A6n");
        QTest::newRow("Shift_JIS") << "Shift_JIS" << "日本" << QByteArray("%93%FA%96%7B");
        QTest::newRow("Shift_JIS has no 你") << "Shift_JIS" << "你好" << QByteArray("%3F%8DD");
        QTest::newRow("EUC-KR") << "EUC-KR" << "日本" << QByteArray("%EC%ED%DC%E2");
    }

    void eachSetGivesItsOwnBytes()
    {
        QFETCH(QString, charset);
        QFETCH(QString, text);
        QFETCH(QByteArray, encoded);
        QCOMPARE(UrlComposer::plainUrl("h.cn", "/?q=", text, charset), "http://h.cn/?q=" + encoded);
        QCOMPARE(UrlComposer::templateUrl("https://h.cn/s?a=%s&b=%s", text, charset),
                 "https://h.cn/s?a=" + encoded + "&b=" + encoded);
    }

    void onlySetsThatKeepAsciiAreKnown_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("known");
        QTest::newRow("UTF-8") << "UTF-8" << true;
        QTest::newRow("EUC-KR") << "EUC-KR" << true;
        QTest::newRow("unknown") << "KLINGON-8" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("iconv's suffixes") << "UTF-8//IGNORE" << false;
        QTest::newRow("blank") << "UTF-8 " << false;
        QTest::newRow("UTF-16 writes ASCII in two bytes") << "UTF-16" << false;
        QTest::newRow("UTF-7 writes + otherwise") << "UTF-7" << false;
    }

    void onlySetsThatKeepAsciiAreKnown()
    {
        QFETCH(QString, name);
        QTEST(Charset::isKnown(name), "known");
    }

    void addressTemplates_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("url");
        QTest::newRow("path and own escapes stay") << "https://h.cn/a%20b/%s?x=1" << QByteArray("https://h.cn/a%20b/C%23?x=1");
        QTest::newRow("non-ASCII path in the set") << "http://h.cn/维基?q=%s" << QByteArray("http://h.cn/%E7%BB%B4%E5%9F%BA?q=C%23");
        QTest::newRow("host in its ASCII form") << "http://例子.cn/?q=%s" << QByteArray("http://xn--fsqu00a.cn/?q=C%23");
    }

    void addressTemplates()
    {
        QFETCH(QString, address);
        QTEST(UrlComposer::templateUrl(address, "C#", "UTF-8"), "url");
    }

    void unpairedSurrogateStillGivesAnAsciiAddress()
    {
        QString query = QStringLiteral("a");
        query.append(QChar(0xD800));
        query.append(QStringLiteral("中"));
        const QByteArray url = UrlComposer::plainUrl("h.cn", "/?q=", query);
        QVERIFY(url.startsWith("http://h.cn/?q=a"));
        QVERIFY(url.endsWith("%D6%D0"));
        for (char c : url)
            QVERIFY(uchar(c) < 0x80);
    }
};

int runUrlComposerTests(int argc, char** argv)
{
    TestUrlComposer tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestUrlComposer.moc"
