#include "SearchTests.h"

#include "XdgOpenBrowser.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeProgram(const QString& path, const QByteArray& script)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(script);
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

class TestXdgOpenBrowser final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_path = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", m_path); }

    void missingProgramIsReported()
    {
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        expectError(QStringLiteral("找不到程序“xdg-open”"));
    }

    void programThatCannotStartIsReported()
    {
        QTemporaryDir dir;
        writeProgram(dir.filePath("xdg-open"), "#!/nonexistent/interpreter\n");
        qputenv("PATH", QFile::encodeName(dir.path()));
        expectError(QStringLiteral("不能启动"));
    }

    // The address arrives as one argument, untouched by any shell, and open() does not wait.
    void addressIsTheOnlyArgument()
    {
        QTemporaryDir dir;
        const QByteArray out = QFile::encodeName(dir.filePath("args"));
        const QByteArray release = QFile::encodeName(dir.filePath("release"));
        // The program stays running until the test releases it or ends (30 s at most), so that open()
        // returning first shows that nothing waits for the browser.
        writeProgram(dir.filePath("xdg-open"), "#!/bin/sh\nexec >/dev/null 2>&1\nPATH=/usr/bin:/bin\n"
                                               "printf '%s\\n%s' \"$#\" \"$1\" > '" + out + ".tmp'\n"
                                               "mv '" + out + ".tmp' '" + out + "'\n"
                                               "i=0; while [ -e '" + out + "' ] && [ ! -e '" + release + "' ] && [ $i -lt 300 ]; do\n"
                                               "  sleep 0.1; i=$((i+1)); done\n");
        qputenv("PATH", QFile::encodeName(dir.path()));

        const QString url = QStringLiteral("http://h.cn/?q=a b;touch pwned&$(touch pwned2)`id`'\"*");
        XdgOpenBrowser().open(url);
        QVERIFY(!QFile::exists(release));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 20000);
        QFile(release).open(QIODevice::WriteOnly);
        QFile args(out);
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(args.readAll()), "1\n" + url);
        QVERIFY(!QFile::exists("pwned") && !QFile::exists("pwned2"));
    }

private:
    void expectError(const QString& part)
    {
        try {
            XdgOpenBrowser().open(QStringLiteral("http://www.google.com/search?q="));
            QFAIL("no error");
        } catch (const QuelmError& error) {
            const QString message = QString::fromUtf8(error.what());
            QVERIFY2(message.contains(part), qPrintable(message));
            QVERIFY(message.contains("xdg-open"));
        }
    }

    QByteArray m_path;
};

int runXdgOpenBrowserTests(int argc, char** argv)
{
    TestXdgOpenBrowser tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestXdgOpenBrowser.moc"
