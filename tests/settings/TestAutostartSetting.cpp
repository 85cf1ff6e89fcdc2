#include "SettingsTests.h"

#include "AutostartRegistryBackend.h"
#include "DesktopEntry.h"
#include "IniRegistryBackend.h"
#include "QuelmError.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

// desktop-file-validate exits 0 on some errors, so its report is read line by line.
void validate(const QString& path)
{
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (Debian package desktop-file-utils)");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(validator, {path});
    QVERIFY(process.waitForFinished(30000));
    const QString report = QString::fromUtf8(process.readAll());
    for (const QString& line : report.split('\n')) {
        QVERIFY2(!line.contains("error", Qt::CaseInsensitive), qPrintable(report));
    }
    QCOMPARE(process.exitCode(), 0);
}

} // namespace

// Starting at log-on, "quelm_s", as the autostart entry com.quelm.Search.desktop.
class TestAutostartSetting final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_folder = m_dir->filePath("config/autostart");
        m_ini = std::make_unique<IniRegistryBackend>(m_dir->filePath("config/quelm_search"));
        m_autostart = std::make_unique<AutostartRegistryBackend>(m_folder);
        m_store = std::make_unique<SettingsStore>(*m_ini, *m_autostart);
    }

    void defaultLocationFollowsXdgConfigHome()
    {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath("xdg")));
        QCOMPARE(AutostartRegistryBackend().filePath(), m_dir->filePath("xdg/autostart/com.quelm.Search.desktop"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(AutostartRegistryBackend().filePath(), QDir::homePath() + "/.config/autostart/com.quelm.Search.desktop");
        qputenv("XDG_CONFIG_HOME", saved);
    }

    void freshSystemIsOff()
    {
        const SettingsStore::ReadResult result = m_store->readStartWithSystem();
        QVERIFY(result.keyOpened);
        QCOMPARE(result.text, QString());
        m_store->writeStartWithSystem(false, "/usr/bin/quelm");
        QVERIFY(!QFile::exists(m_autostart->filePath())); // nothing to switch off
        QCOMPARE(m_store->readStartWithSystem().text, QString());
    }

    void onOffOnRoundTrip()
    {
        const QString program = "/usr/bin/quelm";
        m_store->writeStartWithSystem(true, program);
        QCOMPARE(m_store->readStartWithSystem().text, program);
        validate(m_autostart->filePath());
        auto group = DesktopEntry::readMainGroup(readFile(m_autostart->filePath()));
        QVERIFY(group);
        QCOMPARE(group->value("Type"), QStringLiteral("Application"));
        QCOMPARE(group->value("Name"), QStringLiteral("QUELM搜索寻踪客"));
        QCOMPARE(group->value("Icon"), QStringLiteral("com.quelm.Search"));
        QCOMPARE(group->value("Categories"), QStringLiteral("Network;"));
        QVERIFY(group->value("Comment").contains("QUELM搜索寻踪客"));
        QVERIFY(!group->contains("Hidden"));

        // Off keeps the entry and disables it both ways that desktops understand.
        m_store->writeStartWithSystem(false, program);
        QVERIFY(QFile::exists(m_autostart->filePath()));
        const SettingsStore::ReadResult off = m_store->readStartWithSystem();
        QVERIFY(off.keyOpened);
        QCOMPARE(off.text, QString());
        validate(m_autostart->filePath());
        group = DesktopEntry::readMainGroup(readFile(m_autostart->filePath()));
        QCOMPARE(group->value("Hidden"), QStringLiteral("true"));
        QCOMPARE(group->value("X-GNOME-Autostart-enabled"), QStringLiteral("false"));
        QCOMPARE(group->value("Exec"), QStringLiteral("\"/usr/bin/quelm\""));

        m_store->writeStartWithSystem(true, "/opt/quelm/quelm");
        QCOMPARE(m_store->readStartWithSystem().text, QStringLiteral("/opt/quelm/quelm"));
        group = DesktopEntry::readMainGroup(readFile(m_autostart->filePath()));
        QVERIFY(!group->contains("Hidden"));
        QCOMPARE(group->value("X-GNOME-Autostart-enabled"), QStringLiteral("true"));
    }

    void awkwardPathsRoundTrip_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("blanks") << "/home/u/my programs/quelm search";
        QTest::newRow("quotes") << R"(/home/u/"q" 'r'/quelm)";
        QTest::newRow("backslashes") << R"(/home/u/a\b\\c\/quelm\)";
        QTest::newRow("percent") << "/home/u/100%/%f%%/quelm";
        QTest::newRow("dollar and backtick") << "/home/u/$HOME/`id`/$(id)/quelm";
        QTest::newRow("shell characters") << "/home/u/a;b&c|d<e>f*g?h#i(j)~k=l[m]/quelm";
        QTest::newRow("leading blank in a name") << "/home/u/ x/quelm";
        QTest::newRow("newline and tab") << "/home/u/a\nb\tc/quelm";
        QTest::newRow("Chinese") << "/home/张三/搜索 工具/quelm";
    }

    void awkwardPathsRoundTrip()
    {
        QFETCH(QString, program);
        m_store->writeStartWithSystem(true, program);
        QCOMPARE(m_store->readStartWithSystem().text, program);
        validate(m_autostart->filePath());
        // The Exec line on its own parses back to exactly that one argument.
        const auto group = DesktopEntry::readMainGroup(readFile(m_autostart->filePath()));
        QVERIFY(group);
        QCOMPARE(DesktopEntry::splitExecValue(group->value("Exec")).value_or(QStringList{"<invalid>"}), QStringList{program});
    }

    void entriesThatDoNotStartReadAsOff_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("text");
        const QByteArray head = "[Desktop Entry]\nType=Application\nName=Q\nExec=\"/usr/bin/quelm\"\n";
        QTest::newRow("enabled") << head << "/usr/bin/quelm";
        QTest::newRow("enabled by hand") << head + "X-GNOME-Autostart-enabled=true\nHidden=false\n" << "/usr/bin/quelm";
        QTest::newRow("hidden") << head + "Hidden=true\n" << "";
        QTest::newRow("GNOME-disabled") << head + "X-GNOME-Autostart-enabled=false\n" << "";
        QTest::newRow("broken file") << QByteArray("this is not a desktop entry\n") << "";
        QTest::newRow("broken Exec") << QByteArray("[Desktop Entry]\nExec=\"/usr/bin/quelm\n") << "";
        QTest::newRow("no Exec") << QByteArray("[Desktop Entry]\nType=Application\n") << "";
    }

    void entriesThatDoNotStartReadAsOff()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(QDir().mkpath(m_folder));
        writeFile(m_autostart->filePath(), contents);
        const SettingsStore::ReadResult result = m_store->readStartWithSystem();
        QVERIFY(result.keyOpened);
        QTEST(result.text, "text");
    }

    void offDisablesAnEntryEditedByHand()
    {
        QVERIFY(QDir().mkpath(m_folder));
        writeFile(m_autostart->filePath(), "# mine\n[Desktop Entry]\nType=Application\nName=Q\nExec=/usr/bin/quelm\n"
                                           "X-GNOME-Autostart-Delay=10\n");
        m_store->writeStartWithSystem(false, "/usr/bin/quelm");
        const QByteArray after = readFile(m_autostart->filePath());
        QVERIFY(after.startsWith("# mine\n"));
        QVERIFY(after.contains("X-GNOME-Autostart-Delay=10\n"));
        QCOMPARE(m_store->readStartWithSystem().text, QString());
        validate(m_autostart->filePath());
    }

    void folderThatCannotBeCreated()
    {
        QVERIFY(QDir().mkpath(m_dir->filePath("config")));
        writeFile(m_folder, "a plain file where the folder belongs");
        const SettingsStore::ReadResult result = m_store->readStartWithSystem();
        QVERIFY(!result.keyOpened);
        QCOMPARE(result.text, QString());
        for (bool on : {true, false})
            expectWriteFailure([&] { m_store->writeStartWithSystem(on, "/usr/bin/quelm"); });
        QCOMPARE(readFile(m_folder), QByteArray("a plain file where the folder belongs"));
    }

    void pathADesktopEntryCannotHoldIsRefused()
    {
        m_store->writeStartWithSystem(true, "/usr/bin/quelm");
        const QByteArray before = readFile(m_autostart->filePath());
        expectWriteFailure([&] { m_store->writeStartWithSystem(true, QStringLiteral("/usr/bin/q\x1b[0m")); });
        QCOMPARE(readFile(m_autostart->filePath()), before);
    }

    // A desktop session starts the entry the way GLib does; it must reach the very program.
    void gioLaunchStartsTheProgram_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "bin";
        QTest::newRow("awkward") << "my \"apps\" 'x' \\a\\\\b $HOME `id` ;&|<>*?#()~ 搜索";
    }

    void gioLaunchStartsTheProgram()
    {
        const QString gio = QStandardPaths::findExecutable("gio");
        if (gio.isEmpty())
            QSKIP("gio is not installed (Debian package libglib2.0-bin)");
        QFETCH(QString, folder);
        QVERIFY(QDir().mkpath(m_dir->filePath(folder)));
        const QString program = m_dir->filePath(folder + "/quelm");
        const QString record = m_dir->filePath("started");
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s|%s' \"$0\" \"$#\" > '" + QFile::encodeName(record) + ".tmp' && mv '" +
                     QFile::encodeName(record) + ".tmp' '" + QFile::encodeName(record) + "'\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        m_store->writeStartWithSystem(true, program);
        QProcess launch;
        launch.setProcessChannelMode(QProcess::MergedChannels);
        launch.start(gio, {"launch", m_autostart->filePath()});
        QVERIFY(launch.waitForFinished(30000));
        QVERIFY2(launch.exitCode() == 0, launch.readAll().constData());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 20000);
        QCOMPARE(QString::fromUtf8(readFile(record)), program + "|0");
    }

private:
    template <typename Write>
    static void expectWriteFailure(Write write)
    {
        try {
            write();
            QFAIL("write reported no error");
        } catch (const QuelmError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Failed to set data for 'quelm_s'"));
        }
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    std::unique_ptr<IniRegistryBackend> m_ini;
    std::unique_ptr<AutostartRegistryBackend> m_autostart;
    std::unique_ptr<SettingsStore> m_store;
};

int runAutostartSettingTests(int argc, char** argv)
{
    TestAutostartSetting tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "TestAutostartSetting.moc"
