#include "BrowserTests.h"

#include "BrowserProtocol.h"

#include <QTest>

using BrowserProtocol::Answer;
using BrowserProtocol::Command;

class TestBrowserProtocol final : public QObject
{
    Q_OBJECT

private slots:
    void encodesLines_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("plain") << "http://a.b/" << QByteArray("navigate http://a.b/\n");
        QTest::newRow("percent escapes stay") << "http://a/?q=%E4%B8%AD%25" << QByteArray("navigate http://a/?q=%E4%B8%AD%25\n");
        QTest::newRow("space") << "a b" << QByteArray("navigate a\\u0020b\n");
        QTest::newRow("backslash") << "a\\b" << QByteArray("navigate a\\\\b\n");
        QTest::newRow("line break") << "a\nshow" << QByteArray("navigate a\\u000Ashow\n");
        QTest::newRow("chinese") << "中" << QByteArray("navigate \\u4E2D\n");
        QTest::newRow("astral") << QString::fromUcs4(U"\U0001F600") << QByteArray("navigate \\uD83D\\uDE00\n");
        QTest::newRow("empty") << QString() << QByteArray("navigate \n");
    }

    void encodesLines()
    {
        QFETCH(QString, url);
        QTEST(BrowserProtocol::EncodeNavigate(url), "line");
        const std::optional<Command> decoded = BrowserProtocol::DecodeLine(BrowserProtocol::EncodeNavigate(url).chopped(1));
        QVERIFY(decoded && decoded->kind == Command::Kind::Navigate && decoded->url == url);
    }

    void encodesShow()
    {
        QCOMPARE(BrowserProtocol::EncodeShow(), QByteArray("show\n"));
        QVERIFY(BrowserProtocol::DecodeLine("show")->kind == Command::Kind::Show);
    }

    void everyUtf16UnitSurvivesAsPrintableAscii()
    {
        QString all;
        for (int unit = 0; unit <= 0xFFFF; ++unit)
            all.append(QChar(char16_t(unit)));
        const QByteArray line = BrowserProtocol::EncodeNavigate(all);
        QVERIFY(line.endsWith('\n'));
        const QByteArray body = line.chopped(1);
        for (const char c : body.mid(9))
            QVERIFY2(c >= '!' && c <= '~', qPrintable(QString::number(uchar(c))));
        const auto decoded = BrowserProtocol::DecodeLine(body);
        QVERIFY(decoded);
        QCOMPARE(decoded->kind, Command::Kind::Navigate);
        QCOMPARE(decoded->url.size(), all.size());
        QVERIFY(decoded->url == all);
    }

    void decodesLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("isShow");
        QTest::addColumn<QString>("url");
        QTest::newRow("show") << QByteArray("show") << true << QString();
        QTest::newRow("show CRLF") << QByteArray("show\r") << true << QString();
        QTest::newRow("navigate") << QByteArray("navigate http://x/") << false << "http://x/";
        QTest::newRow("navigate CRLF") << QByteArray("navigate http://x/\r") << false << "http://x/";
        QTest::newRow("empty url") << QByteArray("navigate ") << false << QString();
        QTest::newRow("lower-case hex") << QByteArray("navigate \\u4e2d") << false << "中";
        QTest::newRow("escaped escape") << QByteArray("navigate \\\\u0041") << false << "\\u0041";
    }

    void decodesLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, isShow);
        const auto command = BrowserProtocol::DecodeLine(line);
        QVERIFY(command);
        QCOMPARE(command->kind, isShow ? Command::Kind::Show : Command::Kind::Navigate);
        QTEST(command->url, "url");
    }

    void rejectsMalformedLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("unknown") << QByteArray("stop");
        QTest::newRow("capitalised") << QByteArray("Show");
        QTest::newRow("show with argument") << QByteArray("show now");
        QTest::newRow("navigate without space") << QByteArray("navigate");
        QTest::newRow("raw space") << QByteArray("navigate a b");
        QTest::newRow("raw tab") << QByteArray("navigate a\tb");
        QTest::newRow("raw non-ASCII") << QByteArray("navigate \xE4\xB8\xAD");
        QTest::newRow("unknown escape") << QByteArray("navigate \\x41");
        QTest::newRow("short escape") << QByteArray("navigate \\u12");
        QTest::newRow("bad hex") << QByteArray("navigate \\u12G4");
        QTest::newRow("lone backslash") << QByteArray("navigate a\\");
    }

    void rejectsMalformedLines()
    {
        QFETCH(QByteArray, line);
        QVERIFY(!BrowserProtocol::DecodeLine(line));
    }

    void answersRoundTrip_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("ok") << int(Answer::Kind::Ok) << QString() << QByteArray("ok\n");
        QTest::newRow("error") << int(Answer::Kind::Error) << QStringLiteral("无法打开网页：地址为空")
                               << QByteArray("error \\u65E0\\u6CD5\\u6253\\u5F00\\u7F51\\u9875\\uFF1A\\u5730\\u5740"
                                             "\\u4E3A\\u7A7A\n");
        QTest::newRow("error, empty") << int(Answer::Kind::Error) << QString() << QByteArray("error \n");
        QTest::newRow("fatal over lines") << int(Answer::Kind::Fatal) << "Could not find it.\nok\n"
                                          << QByteArray("fatal Could\\u0020not\\u0020find\\u0020it.\\u000Aok\\u000A\n");
    }

    void answersRoundTrip()
    {
        QFETCH(int, kind);
        QFETCH(QString, message);
        QFETCH(QByteArray, line);
        QCOMPARE(BrowserProtocol::EncodeAnswer({Answer::Kind(kind), message}), line);
        const auto answer = BrowserProtocol::DecodeAnswer(line.chopped(1) + '\r');
        QVERIFY(answer);
        QCOMPARE(int(answer->kind), kind);
        QCOMPARE(answer->message, message);
    }

    void rejectsMalformedAnswers_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("capitalised") << QByteArray("OK");
        QTest::newRow("ok with argument") << QByteArray("ok fine");
        QTest::newRow("error without space") << QByteArray("error");
        QTest::newRow("raw space") << QByteArray("error not found");
        QTest::newRow("raw non-ASCII") << QByteArray("fatal \xE4\xB8\xAD");
        QTest::newRow("a command") << QByteArray("show");
    }

    void rejectsMalformedAnswers()
    {
        QFETCH(QByteArray, line);
        QVERIFY(!BrowserProtocol::DecodeAnswer(line));
    }
};

int runBrowserProtocolTests(int argc, char** argv)
{
    TestBrowserProtocol suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "TestBrowserProtocol.moc"
