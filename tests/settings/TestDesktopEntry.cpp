#include "SettingsTests.h"

#include "DesktopEntry.h"

#include <QTest>

class TestDesktopEntry final : public QObject
{
    Q_OBJECT

private slots:
    void execRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/quelm" << "\"/usr/bin/quelm\"";
        QTest::newRow("blanks") << "/opt/my apps/quelm" << "\"/opt/my apps/quelm\"";
        QTest::newRow("double quote") << "/a\"b/quelm" << "\"/a\\\\\"b/quelm\"";
        QTest::newRow("single quote") << "/a'b/quelm" << "\"/a'b/quelm\"";
        // The string escape doubles the quoting backslash once more: four in the file.
        QTest::newRow("backslash") << "/a\\b/quelm" << "\"/a\\\\\\\\b/quelm\"";
        QTest::newRow("trailing backslash") << "/a\\" << "\"/a\\\\\\\\\"";
        QTest::newRow("percent") << "/100%/quelm" << "\"/100%%/quelm\"";
        QTest::newRow("dollar") << "/$HOME/quelm" << "\"/\\\\$HOME/quelm\"";
        QTest::newRow("backtick") << "/`id`/quelm" << "\"/\\\\`id\\\\`/quelm\"";
        QTest::newRow("newline") << "/a\nb/quelm" << "\"/a\\nb/quelm\"";
        QTest::newRow("tab") << "/a\tb" << "\"/a\\tb\"";
        QTest::newRow("shell characters") << "/a;b&c|d<e>f*g?h#i(j)~k=l" << "\"/a;b&c|d<e>f*g?h#i(j)~k=l\"";
        QTest::newRow("Chinese") << "/home/张三/搜索/quelm" << "\"/home/张三/搜索/quelm\"";
        QTest::newRow("field code look-alike") << "/a%f/quelm" << "\"/a%%f/quelm\"";
    }

    void execRoundTrip()
    {
        QFETCH(QString, path);
        const std::optional<QString> exec = DesktopEntry::execValue({path});
        QVERIFY(exec);
        QTEST(*exec, "exec");
        QCOMPARE(DesktopEntry::splitExecValue(*exec).value_or(QStringList{"<invalid>"}), QStringList{path});
    }

    void execRefusesControlCharacters()
    {
        QCOMPARE(DesktopEntry::execValue({QStringLiteral("/a\x01b")}), std::nullopt);
        QCOMPARE(DesktopEntry::execValue({QString(QChar(0)) + "x"}), std::nullopt);
        QCOMPARE(DesktopEntry::execValue({QStringLiteral("/a\x7f")}), std::nullopt);
    }

    void splitExecValue_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("valid");
        QTest::newRow("unquoted") << "/usr/bin/quelm --x" << QStringList{"/usr/bin/quelm", "--x"} << true;
        QTest::newRow("field codes dropped") << "quelm %U --a %f" << QStringList{"quelm", "--a"} << true;
        QTest::newRow("escaped blank") << "/a\\sb" << QStringList{"/a", "b"} << true;
        QTest::newRow("empty quoted argument") << "quelm \"\"" << QStringList{"quelm", ""} << true;
        QTest::newRow("extra blanks") << "  quelm   x  " << QStringList{"quelm", "x"} << true;
        QTest::newRow("unterminated quote") << "\"/usr/bin/quelm" << QStringList{} << false;
        QTest::newRow("unknown field code") << "quelm %x" << QStringList{} << false;
        QTest::newRow("trailing percent") << "quelm 100%" << QStringList{} << false;
        QTest::newRow("unknown escape") << "quelm \\q" << QStringList{} << false;
        QTest::newRow("lone backslash at the end") << "quelm \\" << QStringList{} << false;
    }

    void splitExecValue()
    {
        QFETCH(QString, raw);
        QFETCH(QStringList, arguments);
        QFETCH(bool, valid);
        const auto parsed = DesktopEntry::splitExecValue(raw);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, arguments);
    }

    void valueEscapes()
    {
        const QString text = QStringLiteral("  a\\b\nc\td\re ");
        QCOMPARE(DesktopEntry::escapeValue(text), QStringLiteral("\\s\\sa\\\\b\\nc\\td\\re "));
        QCOMPARE(DesktopEntry::unescapeValue(DesktopEntry::escapeValue(text)), text);
    }

    void readMainGroup_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("exec");
        QTest::newRow("entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=quelm\n") << true << "quelm";
        QTest::newRow("comments, CRLF, blanks around =")
            << QByteArray("# made by hand\r\n\r\n[Desktop Entry]\r\nExec = quelm x\r\nName[zh_CN]=搜索\r\n") << true
            << "quelm x";
        QTest::newRow("later group ignored")
            << QByteArray("[Desktop Entry]\nExec=a\n[Desktop Action x]\nExec=b\n") << true << "a";
        QTest::newRow("other group first") << QByteArray("[Other]\nExec=b\n[Desktop Entry]\nExec=a\n") << false << "";
        QTest::newRow("key before any group") << QByteArray("Exec=a\n[Desktop Entry]\n") << false << "";
        QTest::newRow("line without =") << QByteArray("[Desktop Entry]\nExec=a\ngarbage\n") << false << "";
        QTest::newRow("bad key") << QByteArray("[Desktop Entry]\nEx ec=a\n") << false << "";
        QTest::newRow("broken header") << QByteArray("[Desktop Entry\nExec=a\n") << false << "";
        QTest::newRow("not UTF-8") << QByteArray("[Desktop Entry]\nName=\xff\xfe\nExec=a\n") << false << "";
        QTest::newRow("empty") << QByteArray() << false << "";
    }

    void readMainGroup()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, valid);
        const auto group = DesktopEntry::readMainGroup(contents);
        QCOMPARE(group.has_value(), valid);
        if (valid)
            QTEST(group->value("Exec"), "exec");
    }

    void settingKeysKeepsTheRestOfTheFile()
    {
        const QByteArray before = "# mine\n[Desktop Entry]\nName=X\nHidden=false\nExec=a\nX-Delay=5\n\n"
                                  "[Desktop Action y]\nHidden=false\n";
        const QByteArray after = DesktopEntry::withMainGroupKeys(before, {{"Hidden", "true"}, {"X-New", "1"}});
        QCOMPARE(after, QByteArray("# mine\n[Desktop Entry]\nName=X\nHidden=true\nExec=a\nX-Delay=5\nX-New=1\n\n"
                                   "[Desktop Action y]\nHidden=false\n"));
        QCOMPARE(DesktopEntry::withMainGroupKeys("garbage\n", {{"Hidden", "true"}}),
                 QByteArray("[Desktop Entry]\nHidden=true\ngarbage\n"));
        QCOMPARE(DesktopEntry::withMainGroupKeys("[Desktop Entry]\nA=1\nA=2\n", {{"A", "3"}}),
                 QByteArray("[Desktop Entry]\nA=3\n"));
    }
};

int runDesktopEntryTests(int argc, char** argv)
{
    TestDesktopEntry tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestDesktopEntry.moc"
