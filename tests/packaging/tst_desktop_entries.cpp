// The launcher entry that is installed and the autostart entry that the settings dialog writes
// stand for the same program in the desktop's menus and session settings: both must be valid
// and name the program, its icon and its categories alike.

#include "AutostartRegistryBackend.h"
#include "DesktopEntry.h"
#include "IniRegistryBackend.h"
#include "SettingsStore.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// desktop-file-validate exits 0 on some errors and on every warning, so its report is read.
void validate(const QString& path)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (Debian package desktop-file-utils)");
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(validator, {path});
    QVERIFY(process.waitForFinished(30000));
    const QString report = QString::fromUtf8(process.readAll());
    static const QRegularExpression problem(QStringLiteral("\\b(error|warning):"),
                                            QRegularExpression::CaseInsensitiveOption);
    QVERIFY2(!problem.match(report).hasMatch(), qPrintable(path + QStringLiteral(":\n") + report));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

} // namespace

class TestDesktopEntries final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_ini = std::make_unique<IniRegistryBackend>(m_dir->filePath(QStringLiteral("config/quelm_search")));
        m_autostart = std::make_unique<AutostartRegistryBackend>(m_dir->filePath(QStringLiteral("config/autostart")));
        m_store = std::make_unique<SettingsStore>(*m_ini, *m_autostart);
        m_store->writeStartWithSystem(true, QStringLiteral("/usr/bin/quelm"));
        QVERIFY(QFile::exists(m_autostart->filePath()));
    }

    void cleanup()
    {
        m_store.reset();
        m_autostart.reset();
        m_ini.reset();
        m_dir.reset();
    }

    void launcherEntryIsValid() { validate(QStringLiteral(QUELM_LAUNCHER_ENTRY)); }

    void autostartEntryIsValid_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("on") << true;
        QTest::newRow("switched off") << false;
    }

    void autostartEntryIsValid()
    {
        QFETCH(bool, on);
        if (!on)
            m_store->writeStartWithSystem(false, QStringLiteral("/usr/bin/quelm"));
        validate(m_autostart->filePath());
    }

    // Name with every translation of it, Icon and Categories: the raw values, so that an
    // escape or a missing trailing ";" counts as a difference too.
    void autostartShowsTheProgramLikeTheLauncher()
    {
        const auto launcher = DesktopEntry::readMainGroup(readFile(QStringLiteral(QUELM_LAUNCHER_ENTRY)));
        QVERIFY2(launcher, "the launcher entry cannot be read");
        const auto autostart = DesktopEntry::readMainGroup(readFile(m_autostart->filePath()));
        QVERIFY2(autostart, "the autostart entry cannot be read");

        QSet<QString> keys{QStringLiteral("Name"), QStringLiteral("Icon"), QStringLiteral("Categories")};
        for (const auto* group : {&*launcher, &*autostart}) {
            for (const QString& key : group->keys()) {
                if (key.startsWith(QLatin1String("Name[")))
                    keys.insert(key);
            }
        }
        for (const QString& key : std::as_const(keys)) {
            QVERIFY2(launcher->contains(key), qPrintable(QStringLiteral("the launcher entry has no ") + key));
            QVERIFY2(autostart->contains(key), qPrintable(QStringLiteral("the autostart entry has no ") + key));
            QVERIFY2(launcher->value(key) == autostart->value(key),
                     qPrintable(QStringLiteral("%1: launcher \"%2\", autostart \"%3\"")
                                    .arg(key, launcher->value(key), autostart->value(key))));
        }
        QCOMPARE(autostart->value(QStringLiteral("Type")), launcher->value(QStringLiteral("Type")));
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<IniRegistryBackend> m_ini;
    std::unique_ptr<AutostartRegistryBackend> m_autostart;
    std::unique_ptr<SettingsStore> m_store;
};

QTEST_GUILESS_MAIN(TestDesktopEntries)
#include "tst_desktop_entries.moc"
