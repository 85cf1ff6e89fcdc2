#include "SettingsTests.h"

#include "IniRegistryBackend.h"
#include "QuelmError.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

// Counts how often the store opens its key: it must do so on every access.
class CountingBackend final : public RegistryBackend
{
public:
    explicit CountingBackend(RegistryBackend& inner) : m_inner(inner) {}
    std::unique_ptr<RegistryKey> openKey() override
    {
        ++opened;
        return m_inner.openKey();
    }
    int opened = 0;

private:
    RegistryBackend& m_inner;
};

} // namespace

// The browser mode, "quelm_ie", in quelm_search.ini.
class TestBrowserModeSetting final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_folder = m_dir->filePath("config/quelm_search");
        m_ini = std::make_unique<IniRegistryBackend>(m_folder);
        m_run = std::make_unique<IniRegistryBackend>(m_dir->filePath("run"));
        m_store = std::make_unique<SettingsStore>(*m_ini, *m_run);
    }

    void defaultLocationFollowsXdgConfigHome()
    {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath("xdg")));
        QCOMPARE(IniRegistryBackend().filePath(), m_dir->filePath("xdg/quelm_search/quelm_search.ini"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(IniRegistryBackend().filePath(), QDir::homePath() + "/.config/quelm_search/quelm_search.ini");
        qputenv("XDG_CONFIG_HOME", saved);
    }

    void freshSystemReadsEmpty()
    {
        const SettingsStore::ReadResult result = m_store->readBrowserModeText();
        QVERIFY(result.keyOpened);
        QCOMPARE(result.text, QString());
        QVERIFY(QFileInfo(m_folder).isDir()); // the key is created on open
    }

    void builtInAndExternalRoundTrip()
    {
        m_store->writeBrowserMode(true);
        QCOMPARE(m_store->readBrowserModeText().text, QStringLiteral("yes"));
        QSettings written(m_ini->filePath(), QSettings::IniFormat);
        QCOMPARE(written.value("quelm_ie"), QVariant(QStringLiteral("yes")));
        QVERIFY(readFile(m_ini->filePath()).contains("[General]\nquelm_ie=yes"));

        m_store->writeBrowserMode(false);
        const SettingsStore::ReadResult result = m_store->readBrowserModeText();
        QVERIFY(result.keyOpened);
        QCOMPARE(result.text, QString());
        QVERIFY(readFile(m_ini->filePath()).contains("quelm_ie="));
    }

    void textOfAnotherProgramIsReadAsItStands()
    {
        writeFile(m_ini->filePath(), "[General]\nquelm_ie=no\n");
        QCOMPARE(m_store->readBrowserModeText().text, QStringLiteral("no"));
    }

    void everyAccessOpensTheKeyAfresh()
    {
        CountingBackend counting(*m_ini);
        SettingsStore store(counting, *m_run);
        store.readBrowserModeText();
        writeFile(m_ini->filePath(), "[General]\nquelm_ie=changed elsewhere\n");
        QCOMPARE(store.readBrowserModeText().text, QStringLiteral("changed elsewhere"));
        store.writeBrowserMode(true);
        QCOMPARE(counting.opened, 3);
    }

    void otherEntriesSurviveAWrite()
    {
        writeFile(m_ini->filePath(), "[General]\nother=1\nquelm_ie=no\n\n[Extra]\nx=2\n");
        m_store->writeBrowserMode(true);
        QSettings written(m_ini->filePath(), QSettings::IniFormat);
        QCOMPARE(written.value("other").toString(), QStringLiteral("1"));
        QCOMPARE(written.value("Extra/x").toString(), QStringLiteral("2"));
        QCOMPARE(written.value("quelm_ie").toString(), QStringLiteral("yes"));
    }

    void nonStringValueIsAnError_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("list") << QByteArray("quelm_ie=yes, no");
        QTest::newRow("byte array") << QByteArray("quelm_ie=@ByteArray(yes)");
        QTest::newRow("variant") << QByteArray("quelm_ie=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)");
        QTest::newRow("invalid") << QByteArray("quelm_ie=@Invalid()");
    }

    void nonStringValueIsAnError()
    {
        QFETCH(QByteArray, line);
        writeFile(m_ini->filePath(), "[General]\n" + line + "\n");
        try {
            m_store->readBrowserModeText();
            QFAIL("read without error");
        } catch (const QuelmError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Invalid data type for 'quelm_ie'"));
        }
    }

    void quotedTextWithACommaIsAString()
    {
        writeFile(m_ini->filePath(), "[General]\nquelm_ie=\"yes, no\"\n");
        QCOMPARE(m_store->readBrowserModeText().text, QStringLiteral("yes, no"));
    }

    // Reads stay silent; writes that cannot be made say so.
    void keyThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("blocker"); // a plain file standing where a folder must be
        QTest::addColumn<QString>("folder");
        QTest::newRow("folder cannot be created") << "config" << "config/quelm_search";
        QTest::newRow("settings file is a folder") << "" << "config/quelm_search";
    }

    void keyThatCannotBeOpened()
    {
        QFETCH(QString, blocker);
        QFETCH(QString, folder);
        if (blocker.isEmpty())
            QVERIFY(QDir().mkpath(m_dir->filePath(folder + "/quelm_search.ini")));
        else
            writeFile(m_dir->filePath(blocker), "not a folder");
        IniRegistryBackend backend(m_dir->filePath(folder));
        SettingsStore store(backend, *m_run);

        const SettingsStore::ReadResult result = store.readBrowserModeText();
        QVERIFY(!result.keyOpened);
        QCOMPARE(result.text, QString());
        expectWriteFailure(store);
    }

    void unwritableFolder()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        writeFile(m_ini->filePath(), "[General]\nquelm_ie=yes\n");
        const QByteArray before = readFile(m_ini->filePath());
        QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(m_store->readBrowserModeText().text, QStringLiteral("yes"));
        expectWriteFailure(*m_store);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readFile(m_ini->filePath()), before);
    }

    void corruptFileIsLeftIntact()
    {
        const QByteArray corrupt = "[General\nquelm_ie=yes\nmine=keep me\n[Other]\nx=1\n";
        writeFile(m_ini->filePath(), corrupt);
        const SettingsStore::ReadResult result = m_store->readBrowserModeText();
        QVERIFY(!result.keyOpened);
        QCOMPARE(result.text, QString());
        expectWriteFailure(*m_store);
        QCOMPARE(readFile(m_ini->filePath()), corrupt);
        QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList{"quelm_search.ini"});
    }

private:
    static void expectWriteFailure(SettingsStore& store)
    {
        for (bool builtIn : {true, false}) {
            try {
                store.writeBrowserMode(builtIn);
                QFAIL("write reported no error");
            } catch (const QuelmError& error) {
                QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Failed to set data for 'quelm_ie'"));
            }
        }
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    std::unique_ptr<IniRegistryBackend> m_ini;
    std::unique_ptr<IniRegistryBackend> m_run;
    std::unique_ptr<SettingsStore> m_store;
};

int runBrowserModeSettingTests(int argc, char** argv)
{
    TestBrowserModeSetting tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestBrowserModeSetting.moc"
