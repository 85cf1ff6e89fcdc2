// Settings files that are broken, huge, links, folders, unreadable or shared with another
// process. The program keeps running, a save that cannot be made says so with the store's
// message, and a file of the user's is never truncated or overwritten without being asked.

#include "AppFakes.h"
#include "AutostartRegistryBackend.h"
#include "ErrorBox.h"
#include "IniRegistryBackend.h"
#include "GuardedApplication.h"
#include "QuelmError.h"
#include "SettingsStore.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "shezhi.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kProgram = QStringLiteral("/opt/quelm/bin/quelm");

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

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

private:
    struct Settings {
        QTemporaryDir dir;
        QString iniFolder = dir.path() + QStringLiteral("/quelm_search");
        QString autostartFolder = dir.path() + QStringLiteral("/autostart");
        IniRegistryBackend ini{iniFolder};
        AutostartRegistryBackend autostart{autostartFolder};
        SettingsStore store{ini, autostart};
        QString iniPath() const { return ini.filePath(); }
        QString entryPath() const { return autostart.filePath(); }
    };

    QStringList m_errors;

    template <typename T> static T* child(QWidget* form, const char* name)
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    // The settings dialog loads what it can, then "保存" is clicked with these choices; the
    // messages the user saw are returned.
    QStringList saveThroughDialog(SettingsStore& store, bool startAtLogin, bool builtIn)
    {
        TForm3 dialog(store, kProgram);
        dialog.ShowOnPage(0);
        child<TXP_CheckBox>(&dialog, "xb1")->SetChecked(startAtLogin);
        child<TXP_RadioBox>(&dialog, builtIn ? "xb2" : "xb3")->SetChecked(true);
        QTest::mouseClick(child<TXP_Button>(&dialog, "b1"), Qt::LeftButton, {}, QPoint(30, 12));
        // The dialog stays open and usable after any message.
        if (!dialog.isVisible())
            return {QStringLiteral("<dialog closed>")};
        return m_errors;
    }

    static bool runsAsRoot() { return geteuid() == 0; }

    // Runs settings_writer; as root under the unprivileged "nobody" through setpriv, so that
    // file permissions mean something.
    static QString runWriter(const QStringList& args, bool asNobody = false,
                             const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
    {
        QProcess writer;
        writer.setProcessEnvironment(env);
        QStringList command{QStringLiteral(SETTINGS_WRITER)};
        command << args;
        if (asNobody) {
            const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            if (setpriv.isEmpty())
                return QStringLiteral("<no setpriv>");
            command = QStringList{setpriv, "--reuid=65534", "--regid=65534", "--clear-groups", "--"} + command;
        }
        writer.start(command.takeFirst(), command);
        if (!writer.waitForFinished(60000))
            return QStringLiteral("<timed out>");
        return QString::fromUtf8(writer.readAllStandardOutput()).trimmed();
    }

    static void openUp(const QString& folder)
    {
        // QTemporaryDir makes its folder private; "nobody" must be able to look inside.
        ::chmod(QFile::encodeName(folder).constData(), 0755);
    }

private Q_SLOTS:
    void init()
    {
        m_errors.clear();
        ErrorBox::SetPresenter([this](const QString&, const QString& text) { m_errors.append(text); });
    }

    // A file the store cannot parse is not opened: the dialog shows its defaults, a save is
    // refused with the message, and the file keeps every byte.
    void brokenSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("section header not closed") << QByteArray("[General\nquelm_ie=yes\nmine=keep me\n");
        QTest::newRow("line without =") << QByteArray("[General]\nquelm_ie=yes\nnotes about my setup\n");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919) & 0xFF));
        QTest::newRow("binary") << binary;
        QTest::newRow("NUL bytes") << QByteArray("[General]\nquelm_ie=yes\n\0\0\0[\n", 29);
        // QSettings would read the é as U+FFFD and write that back in place of the user's byte.
        QTest::newRow("not UTF-8") << QByteArray("[General]\nquelm_ie=yes\nname=Caf\xE9\n");
        // QSettings writes these back in a form it cannot read or that reads differently.
        QTest::newRow("escape in section name") << QByteArray("[%\x16\x16rray(\\0\\x1)E4%B8%AD]\n%U4E2D=x\n=1\n");
        QTest::newRow("escape for half a surrogate pair") << QByteArray("[General]\nk=\\x4e2dBBB q\n");
    }

    void brokenSettingsFile()
    {
        QFETCH(QByteArray, contents);
        Settings s;
        writeFile(s.iniPath(), contents);
        const SettingsStore::ReadResult read = s.store.readBrowserModeText();
        if (QByteArray(QTest::currentDataTag()).startsWith("escape")) {
            QVERIFY(read.keyOpened); // readable; only the save is refused
        } else {
            QVERIFY(!read.keyOpened);
            QCOMPARE(read.text, QString());
        }
        QCOMPARE(saveThroughDialog(s.store, false, true), QStringList{"Failed to set data for 'quelm_ie'"});
        QCOMPARE(readFile(s.iniPath()), contents);
        QCOMPARE(QDir(s.iniFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"quelm_search.ini"});
    }

    void emptyFileIsAFreshStart()
    {
        Settings s;
        writeFile(s.iniPath(), QByteArray());
        QVERIFY(s.store.readBrowserModeText().keyOpened);
        QCOMPARE(saveThroughDialog(s.store, false, true), QStringList());
        QCOMPARE(s.store.readBrowserModeText().text, QStringLiteral("yes"));
    }

    // 50 MB is not a settings file of this program: it is not opened (so that no search stalls
    // reading it), a save is refused, and it stays as it is. Just under a mebibyte still works.
    void hugeFile()
    {
        Settings s;
        QByteArray contents("[General]\nquelm_ie=yes\n\n[Big]\n");
        const QByteArray filler(200, 'v');
        for (int i = 0; contents.size() < 50 * 1024 * 1024; ++i)
            contents.append("k" + QByteArray::number(i) + "=" + filler + "\n");
        writeFile(s.iniPath(), contents);
        const QByteArray hash = QCryptographicHash::hash(contents, QCryptographicHash::Sha256);
        contents.clear();

        QElapsedTimer timer;
        timer.start();
        QVERIFY(!s.store.readBrowserModeText().keyOpened);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(saveThroughDialog(s.store, false, false), QStringList{"Failed to set data for 'quelm_ie'"});
        QCOMPARE(QCryptographicHash::hash(readFile(s.iniPath()), QCryptographicHash::Sha256), hash);

        QByteArray large("[General]\nquelm_ie=yes\n\n[Big]\n");
        for (int i = 0; large.size() < 1000 * 1000; ++i)
            large.append("k" + QByteArray::number(i) + "=" + filler + "\n");
        writeFile(s.iniPath(), large);
        QCOMPARE(s.store.readBrowserModeText().text, QStringLiteral("yes"));
        s.store.writeBrowserMode(false);
        QSettings after(s.iniPath(), QSettings::IniFormat);
        QCOMPARE(after.value("quelm_ie").toString(), QString());
        QCOMPARE(after.value("Big/k0").toByteArray(), filler);
        QCOMPARE(after.allKeys().size(), large.count('\n') - 3);
    }

    // A link is followed both ways: the linked file is read and updated, the link stays.
    void symlinkedFileIsFollowed()
    {
        Settings s;
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath("dotfiles/quelm.ini");
        writeFile(target, "[General]\nquelm_ie=yes\nmine=keep me\n");
        QDir().mkpath(s.iniFolder);
        QVERIFY(QFile::link(target, s.iniPath()));

        QCOMPARE(s.store.readBrowserModeText().text, QStringLiteral("yes"));
        QCOMPARE(saveThroughDialog(s.store, false, false), QStringList());
        QVERIFY(QFileInfo(s.iniPath()).isSymLink());
        QCOMPARE(QFileInfo(s.iniPath()).symLinkTarget(), target);
        QSettings linked(target, QSettings::IniFormat);
        QCOMPARE(linked.value("quelm_ie").toString(), QString());
        QCOMPARE(linked.value("mine").toString(), QStringLiteral("keep me"));
    }

    void danglingSymlink()
    {
        Settings s;
        QTemporaryDir elsewhere;
        QDir().mkpath(s.iniFolder);
        // The link's folder exists: the first save creates the linked file.
        QVERIFY(QFile::link(elsewhere.filePath("new.ini"), s.iniPath()));
        QCOMPARE(s.store.readBrowserModeText().text, QString());
        QCOMPARE(saveThroughDialog(s.store, false, true), QStringList());
        QVERIFY(QFileInfo(s.iniPath()).isSymLink());
        QCOMPARE(QSettings(elsewhere.filePath("new.ini"), QSettings::IniFormat).value("quelm_ie").toString(),
                 QStringLiteral("yes"));

        // It points into nothing: the save is refused and the link left as it is.
        m_errors.clear();
        QFile::remove(s.iniPath());
        QVERIFY(QFile::link(elsewhere.filePath("missing/folder/x.ini"), s.iniPath()));
        QCOMPARE(saveThroughDialog(s.store, false, true), QStringList{"Failed to set data for 'quelm_ie'"});
        QCOMPARE(QFileInfo(s.iniPath()).symLinkTarget(), elsewhere.filePath("missing/folder/x.ini"));
        QVERIFY(!QFileInfo::exists(elsewhere.filePath("missing")));
    }

    // Something that is not a regular file stands where the settings file should be.
    void notARegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("named pipe") << "fifo";
    }

    void notARegularFile()
    {
        QFETCH(QString, kind);
        Settings s;
        QDir().mkpath(s.iniFolder);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(s.iniPath() + "/inside"));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(s.iniPath()).constData(), 0600), 0);
        QVERIFY(!s.store.readBrowserModeText().keyOpened); // and does not block on the pipe
        QCOMPARE(saveThroughDialog(s.store, false, true), QStringList{"Failed to set data for 'quelm_ie'"});
        const QFileInfo after(s.iniPath());
        QVERIFY(kind == QLatin1String("folder") ? after.isDir() && QFileInfo::exists(s.iniPath() + "/inside")
                                                 : !after.isFile() && after.exists());
    }

    void unreadableFile()
    {
        Settings s;
        const QByteArray contents("[General]\nquelm_ie=yes\nmine=1\n");
        writeFile(s.iniPath(), contents);
        QVERIFY(QFile::setPermissions(s.iniPath(), QFileDevice::WriteOwner));
        if (runsAsRoot()) {
            // Root reads everything; the same as an ordinary user, through the helper.
            openUp(s.dir.path());
            QCOMPARE(::chown(QFile::encodeName(s.iniFolder).constData(), 65534, 65534), 0);
            ::chmod(QFile::encodeName(s.iniFolder).constData(), 0755);
            const QString read = runWriter({s.dir.path(), "read"}, true);
            if (read == QLatin1String("<no setpriv>"))
                QSKIP("root reads every file and setpriv is missing");
            QCOMPARE(read, QStringLiteral("not-opened"));
            QCOMPARE(runWriter({s.dir.path(), "save-once", "0"}, true), QStringLiteral("Failed to set data for 'quelm_ie'"));
        } else {
            QVERIFY(!s.store.readBrowserModeText().keyOpened);
            QCOMPARE(saveThroughDialog(s.store, false, false), QStringList{"Failed to set data for 'quelm_ie'"});
        }
        QFile::setPermissions(s.iniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(readFile(s.iniPath()), contents);
    }

    // The file can be read but nothing in its folder written: the mode reads as stored,
    // a save is refused, and no temporary file is left behind.
    void readOnlyLocation()
    {
        Settings s;
        const QByteArray contents("[General]\nquelm_ie=yes\n");
        writeFile(s.iniPath(), contents);
        QVERIFY(QFile::setPermissions(s.iniFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                       QFileDevice::ReadOther | QFileDevice::ExeOther));
        if (runsAsRoot()) {
            openUp(s.dir.path());
            const QString read = runWriter({s.dir.path(), "read"}, true);
            if (read == QLatin1String("<no setpriv>"))
                QSKIP("root writes into read-only folders and setpriv is missing");
            QCOMPARE(read, QStringLiteral("opened yes"));
            QCOMPARE(runWriter({s.dir.path(), "save-once", "0"}, true), QStringLiteral("Failed to set data for 'quelm_ie'"));
        } else {
            QCOMPARE(s.store.readBrowserModeText().text, QStringLiteral("yes"));
            QCOMPARE(saveThroughDialog(s.store, false, false), QStringList{"Failed to set data for 'quelm_ie'"});
        }
        QFile::setPermissions(s.iniFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(readFile(s.iniPath()), contents);
        QCOMPARE(QDir(s.iniFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"quelm_search.ini"});
    }

    // An entry the store cannot read counts as off; ticking the box and saving replaces it
    // with the program's own, which the user asked for.
    void brokenAutostartEntry_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("not UTF-8") << QByteArray("[Desktop Entry]\nName=Caf\xE9\nExec=/opt/quelm/bin/quelm\n");
        QTest::newRow("no group") << QByteArray("Exec=/opt/quelm/bin/quelm\n");
        QTest::newRow("open quote") << QByteArray("[Desktop Entry]\nExec=\"/opt/quelm/bin/quelm\n");
        QTest::newRow("binary") << QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0", 10);
    }

    void brokenAutostartEntry()
    {
        QFETCH(QByteArray, contents);
        Settings s;
        writeFile(s.entryPath(), contents);
        QCOMPARE(s.store.readStartWithSystem().text, QString());
        {
            TForm3 dialog(s.store, kProgram);
            QVERIFY(!child<TXP_CheckBox>(&dialog, "xb1")->Checked());
        }
        QCOMPARE(saveThroughDialog(s.store, true, false), QStringList());
        QCOMPARE(s.store.readStartWithSystem().text, kProgram);
    }

    // Switching off keeps every line another program wrote, byte for byte, whatever its
    // encoding; only the two keys that stop the start are set.
    void foreignEntrySwitchedOffKeepsItsLines_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("desktop tool") << QByteArray(
            "# Written by the desktop's start-up settings\n[Desktop Entry]\nType=Application\n"
            "Name[de]=Suche\nExec=\"/opt/quelm/bin/quelm\"\nX-GNOME-Autostart-Delay=10\nHidden=false\n\n"
            "[Desktop Action tray]\nExec=quelm --tray\n");
        QTest::newRow("Latin-1 name") << QByteArray("[Desktop Entry]\nName=Caf\xE9 Suche\nExec=/opt/quelm/bin/quelm\n");
        QTest::newRow("CRLF") << QByteArray("[Desktop Entry]\r\nExec=/opt/quelm/bin/quelm\r\nComment=x\r\n");
    }

    void foreignEntrySwitchedOffKeepsItsLines()
    {
        QFETCH(QByteArray, contents);
        Settings s;
        writeFile(s.entryPath(), contents);
        s.store.writeStartWithSystem(false, kProgram);
        QCOMPARE(s.store.readStartWithSystem().text, QString());
        const QByteArray after = readFile(s.entryPath());
        QList<QByteArray> kept;
        for (const QByteArray& line : after.split('\n')) {
            if (!line.startsWith("Hidden=") && !line.startsWith("X-GNOME-Autostart-enabled="))
                kept.append(line);
            else
                QVERIFY2(line == "Hidden=true" || line == "X-GNOME-Autostart-enabled=false", line.constData());
        }
        QList<QByteArray> before;
        for (const QByteArray& line : contents.split('\n'))
            if (!line.startsWith("Hidden="))
                before.append(line);
        QCOMPARE(kept, before);
    }

    // A path the entry cannot hold is refused rather than stored as something else.
    void programPathTheEntryCannotCarry_data()
    {
        QTest::addColumn<QString>("path");
        QString surrogate = QStringLiteral("/opt/q");
        surrogate.append(QChar(0xD800));
        QTest::newRow("half a surrogate pair") << surrogate;
        QTest::newRow("control character") << QStringLiteral("/opt/q\x01/quelm");
    }

    void programPathTheEntryCannotCarry()
    {
        QFETCH(QString, path);
        Settings s;
        s.store.writeStartWithSystem(true, kProgram);
        const QByteArray before = readFile(s.entryPath());
        try {
            s.store.writeStartWithSystem(true, path);
            QFAIL("stored a path the entry cannot carry");
        } catch (const QuelmError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Failed to set data for 'quelm_s'"));
        }
        QCOMPARE(readFile(s.entryPath()), before);
        QCOMPARE(s.store.readStartWithSystem().text, kProgram);
    }

    void autostartEntryIsAFolder()
    {
        Settings s;
        QVERIFY(QDir().mkpath(s.entryPath() + "/inside"));
        QCOMPARE(s.store.readStartWithSystem().text, QString());
        // The first write of the save fails, so the second is not made.
        QCOMPARE(saveThroughDialog(s.store, true, true), QStringList{"Failed to set data for 'quelm_s'"});
        QVERIFY(QFileInfo::exists(s.entryPath() + "/inside"));
        QVERIFY(!QFileInfo::exists(s.iniPath()));
    }

    // XDG_CONFIG_HOME leads nowhere: nothing opens, the dialog keeps its defaults, the save
    // names the first setting it could not store.
    void configHomeLeadsNowhere()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("plain-file"), "x");
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("plain-file/config")));
        {
            SettingsStore store;
            QVERIFY(!store.readBrowserModeText().keyOpened);
            QVERIFY(!store.readStartWithSystem().keyOpened);
            QCOMPARE(saveThroughDialog(store, true, true), QStringList{"Failed to set data for 'quelm_s'"});
            QCOMPARE(readFile(dir.filePath("plain-file")), QByteArray("x"));
        }
        // A folder that does not exist yet is made on the first save.
        m_errors.clear();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("not/yet/there")));
        {
            SettingsStore store;
            QCOMPARE(saveThroughDialog(store, false, true), QStringList());
            QCOMPARE(store.readBrowserModeText().text, QStringLiteral("yes"));
        }
        qputenv("XDG_CONFIG_HOME", saved);
    }

    // No HOME and no XDG_CONFIG_HOME: the settings belong in the account's home folder, not in
    // "/.config" where Qt would put them. The user nobody's home folder does not exist, so
    // there nothing opens and a save says so (run as nobody, which root can do through setpriv).
    void noHomeFolder()
    {
        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qunsetenv("HOME");
        qunsetenv("XDG_CONFIG_HOME");
        const passwd* account = getpwuid(getuid());
        QVERIFY(account);
        const QString accountHome = QDir::cleanPath(QFile::decodeName(account->pw_dir));
        QCOMPARE(IniRegistryBackend::defaultFolder(), accountHome + "/.config/quelm_search");
        QCOMPARE(AutostartRegistryBackend::defaultFolder(), accountHome + "/.config/autostart");
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("HOME"));
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (!runsAsRoot() && QFileInfo(accountHome).isWritable())
            QSKIP("this user's home folder exists; the store would use it");
        const QString read = runWriter({"-", "read"}, runsAsRoot(), env);
        if (read == QLatin1String("<no setpriv>"))
            QSKIP("setpriv is missing");
        QCOMPARE(read, QStringLiteral("not-opened"));
        QCOMPARE(runWriter({"-", "save-once", "1"}, runsAsRoot(), env),
                 QStringLiteral("Failed to set data for 'quelm_ie'"));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/.config/quelm_search")));
    }

    // A relative XDG_CONFIG_HOME is ignored, as the XDG rules say, instead of putting the
    // settings wherever the program happens to be started.
    void relativeConfigHomeIsIgnored()
    {
        QTemporaryDir home;
        QTemporaryDir startedIn;
        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        const QString savedDir = QDir::currentPath();
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", "relative/config");
        QDir::setCurrent(startedIn.path());
        {
            SettingsStore store;
            QCOMPARE(saveThroughDialog(store, true, true), QStringList());
            QCOMPARE(store.readBrowserModeText().text, QStringLiteral("yes"));
        }
        QDir::setCurrent(savedDir);
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedConfig);
        QVERIFY(QFileInfo::exists(home.filePath(".config/quelm_search/quelm_search.ini")));
        QVERIFY(QFileInfo::exists(home.filePath(".config/autostart/com.quelm.Search.desktop")));
        QVERIFY(!QFileInfo::exists(startedIn.filePath("relative")));
    }

    // Two programs saving at once, many times, while this one reads: every read finds a
    // whole file, the entries nobody changed survive, and nothing is left lying about.
    void twoProcessesSavingAtOnce()
    {
        Settings s;
        writeFile(s.iniPath(), "[General]\nkeep=me\n\n[Other]\nx=1\n");
        writeFile(s.entryPath(), "[Desktop Entry]\nType=Application\nExec=\"/opt/quelm 0/quelm\"\n");
        const int rounds = 150;
        QProcess first, second;
        for (QProcess* p : {&first, &second})
            p->setProcessChannelMode(QProcess::MergedChannels);
        first.start(QStringLiteral(SETTINGS_WRITER), {s.dir.path(), "save", QString::number(rounds), "1"});
        second.start(QStringLiteral(SETTINGS_WRITER), {s.dir.path(), "save", QString::number(rounds), "2"});
        QVERIFY(first.waitForStarted() && second.waitForStarted());

        int reads = 0;
        while (first.state() != QProcess::NotRunning || second.state() != QProcess::NotRunning) {
            const SettingsStore::ReadResult mode = s.store.readBrowserModeText();
            QVERIFY2(mode.keyOpened, "a reader saw a broken settings file");
            QVERIFY(mode.text.isEmpty() || mode.text == QLatin1String("yes"));
            const QString start = s.store.readStartWithSystem().text;
            QVERIFY2(start.isEmpty() || start.startsWith(QLatin1String("/opt/quelm ")), qPrintable(start));
            ++reads;
            first.waitForFinished(1);
            second.waitForFinished(1);
        }
        QCOMPARE(QString::fromUtf8(first.readAll()).trimmed(), QStringLiteral("ok"));
        QCOMPARE(QString::fromUtf8(second.readAll()).trimmed(), QStringLiteral("ok"));
        QCOMPARE(first.exitCode(), 0);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(reads > 0);

        QSettings after(s.iniPath(), QSettings::IniFormat);
        QCOMPARE(after.status(), QSettings::NoError);
        QCOMPARE(after.value("keep").toString(), QStringLiteral("me"));
        QCOMPARE(after.value("Other/x").toString(), QStringLiteral("1"));
        QCOMPARE(QDir(s.iniFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"quelm_search.ini"});
        QCOMPARE(QDir(s.autostartFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"com.quelm.Search.desktop"});
        QVERIFY(readFile(s.entryPath()).contains("Type=Application"));
    }

    // Two programs (one per display) saving different values at once: each finds, every time,
    // the value it saved last, so neither save was lost under the other.
    void savesDoNotLoseEachOther()
    {
        Settings s;
        const QString rounds = QStringLiteral("120");
        QProcess first, second;
        first.start(QStringLiteral(SETTINGS_WRITER), {s.dir.path(), "count", rounds, "one"});
        second.start(QStringLiteral(SETTINGS_WRITER), {s.dir.path(), "count", rounds, "two"});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(first.readAllStandardOutput()).trimmed(), QStringLiteral("ok"));
        QCOMPARE(QString::fromUtf8(second.readAllStandardOutput()).trimmed(), QStringLiteral("ok"));
        QSettings after(s.iniPath(), QSettings::IniFormat);
        QCOMPARE(after.value("one").toString(), QStringLiteral("119"));
        QCOMPARE(after.value("two").toString(), QStringLiteral("119"));
    }

    // A program killed while it saves leaves the settings whole; whatever scratch files an
    // earlier one left are gone after the next save, and the lock went with the killed one.
    void killedDuringSave()
    {
        Settings s;
        writeFile(s.iniFolder + QStringLiteral("/quelm_search-Ab12Cd.ini"), "[General]\nquelm_ie=yes\n");
        writeFile(s.iniFolder + QStringLiteral("/quelm_search-Ab12Cd.ini.lock"), "1234\nquelm\nhost\n");
        writeFile(s.iniFolder + QStringLiteral("/quelm_search.ini.Xy34Zw"), "[General]\n");
        writeFile(s.iniFolder + QStringLiteral("/quelm_search-Ef56Gh.scratch/quelm_search-Ij78Kl.ini"), "[General]\n");
        writeFile(s.iniFolder + QStringLiteral("/notes.txt"), "the user's own");
        QProcess writer;
        writer.start(QStringLiteral(SETTINGS_WRITER), {s.dir.path(), "count", "100000", "n"});
        QVERIFY(writer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(readFile(s.iniPath()).contains("n=3"), 20000);
        writer.kill();
        QVERIFY(writer.waitForFinished());
        QVERIFY(s.ini.openKey());
        QCOMPARE(saveThroughDialog(s.store, false, true), QStringList());
        QCOMPARE(s.store.readBrowserModeText().text, QStringLiteral("yes"));
        QCOMPARE(QDir(s.iniFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 (QStringList{"notes.txt", "quelm_search.ini"}));
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestHostileFiles tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_hostile_files.moc"
