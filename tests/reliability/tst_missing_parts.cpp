// Parts of the desktop the program leans on are missing: no notification area, no xdg-open,
// no browser helper, no CJK font, no display. Each is said plainly; none ends the program,
// except a missing display at start, which ends it with a message and a failure status.

#include "AppFakes.h"
#include "AutostartRegistryBackend.h"
#include "BrowserWindowProxy.h"
#include "ErrorBox.h"
#include "IniRegistryBackend.h"
#include "GuardedApplication.h"
#include "QuelmError.h"
#include "SettingsStore.h"
#include "XdgOpenBrowser.h"
#include "controls/TrayIcon.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "main.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestMissingParts : public QObject
{
    Q_OBJECT

private:
    struct Window {
        QTemporaryDir dir;
        IniRegistryBackend ini{dir.path() + QStringLiteral("/quelm_search")};
        AutostartRegistryBackend autostart{dir.path() + QStringLiteral("/autostart")};
        SettingsStore store{ini, autostart};
        std::unique_ptr<TForm1> form;

        // A null tray is the system's own notification area.
        Window(ExternalBrowser& external, std::unique_ptr<TrayBackend> tray)
        {
            form = std::make_unique<TForm1>(store, external, std::move(tray));
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
        void clickGo() const
        {
            QTest::mouseClick(form->findChild<TXP_Button*>(QStringLiteral("go")), Qt::LeftButton, {}, QPoint(80, 16));
        }
    };

    QStringList m_errors;
    QByteArray m_path;

    // The program itself with this environment (QProcess's system environment, less what is
    // named in unset).
    static QProcessEnvironment environment(const QStringList& unset, const QList<QPair<QString, QString>>& set)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : unset)
            env.remove(name);
        for (const auto& [name, value] : set)
            env.insert(name, value);
        return env;
    }

private Q_SLOTS:
    void initTestCase() { m_path = qgetenv("PATH"); }
    void init()
    {
        m_errors.clear();
        ErrorBox::SetPresenter([this](const QString&, const QString& text) { m_errors.append(text); });
    }
    void cleanup() { qputenv("PATH", m_path); }

    // Offscreen there is no notification area: minimising leaves the window minimised (a way
    // back stays on the taskbar) instead of hiding it where nothing could bring it back.
    void noTrayHost()
    {
        RecordingExternalBrowser external;
        Window w(external, nullptr);
        QVERIFY(!w.form->TrayIcon()->TrayAvailable());
        w.form->showMinimized();
        QTest::qWait(50);
        QVERIFY(w.form->isVisible());
        QVERIFY(!w.form->TrayIcon()->IconVisible());
        w.form->showNormal();
        w.clickGo();
        QCOMPARE(external.urls.size(), 1);
        QVERIFY(m_errors.isEmpty());
    }

    void noXdgOpenOnPath()
    {
        QTemporaryDir empty;
        qputenv("PATH", QFile::encodeName(empty.path()));
        XdgOpenBrowser xdgOpen;
        Window w(xdgOpen, std::make_unique<CountingTray>());
        w.clickGo();
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().contains(QStringLiteral("找不到程序“xdg-open”")), qPrintable(m_errors.first()));
        QVERIFY(m_errors.first().contains(QStringLiteral("xdg-utils")));
        // Still there, and it says so again on the next try.
        w.clickGo();
        QCOMPARE(m_errors.size(), 2);
        QVERIFY(w.form->isVisible());
    }

    void noBrowserHelper_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << false << QStringLiteral("找不到内置浏览器程序");
        QTest::newRow("not executable") << true << QStringLiteral("不是可执行文件");
    }

    void noBrowserHelper()
    {
        QFETCH(bool, fileExists);
        QFETCH(QString, expected);
        RecordingExternalBrowser external;
        Window w(external, std::make_unique<CountingTray>());
        const QString helper = w.dir.filePath(QStringLiteral("quelm-browser"));
        if (fileExists) {
            QFile file(helper);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a program");
        }
        BrowserWindowProxy form5(helper);
        w.form->SetBrowserWindow(&form5);
        w.store.writeBrowserMode(true);
        w.clickGo();
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors.first().contains(expected), qPrintable(m_errors.first()));
        QVERIFY(external.urls.isEmpty()); // the search ended before any page was opened
        QVERIFY(!form5.isHelperRunning());
        // Switching back to the external browser works at once.
        w.store.writeBrowserMode(false);
        w.clickGo();
        QCOMPARE(external.urls.size(), 1);
        QCOMPARE(m_errors.size(), 1);
    }

    // TMPDIR names a plain file, so that nobody, root included, can make anything under it. A
    // stored "yes" still sends a search to the built-in browser, saving still works, and the
    // searches write no file: the settings folder is not touched at all.
    void noUsableTemporaryFolder()
    {
        RecordingExternalBrowser external;
        Window w(external, std::make_unique<CountingTray>());
        RecordingBuiltInBrowser builtIn;
        w.form->SetBrowserWindow(&builtIn);
        const QString blocker = w.dir.filePath(QStringLiteral("plain-file"));
        {
            QFile file(blocker);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(blocker));
        const auto restore = qScopeGuard([&] { qputenv("TMPDIR", savedTmp); });
        QCOMPARE(QDir::tempPath(), blocker);

        try {
            w.store.writeBrowserMode(false);
            w.store.writeBrowserMode(true);
        } catch (const QuelmError& error) {
            QFAIL(error.what());
        }
        QCOMPARE(w.store.readBrowserModeText().text, QStringLiteral("yes"));
        const QString folder = w.dir.filePath(QStringLiteral("quelm_search"));
        const QFileInfo folderBefore(folder);
        const QFileInfo fileBefore(w.ini.filePath());

        w.clickGo();
        w.clickGo();
        QVERIFY(m_errors.isEmpty());
        QVERIFY(external.urls.isEmpty());
        QCOMPARE(builtIn.calls.count(QStringLiteral("show")), 2);
        QCOMPARE(builtIn.calls.size(), 4);   // each search: show, then one navigation
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"quelm_search.ini"});
        QCOMPARE(QFileInfo(folder).lastModified(), folderBefore.lastModified());   // nothing made and removed
        QCOMPARE(QFileInfo(w.ini.filePath()).lastModified(), fileBefore.lastModified());
        QVERIFY(QFileInfo(blocker).isFile());
    }

    // The program with neither DISPLAY nor WAYLAND_DISPLAY, or with a display that does not
    // answer, or with a platform that does not exist: a message and status 1, not an abort.
    void noDisplayAtStart_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no display set") << QString() << QString() << "no graphical display";
        QTest::newRow("display that does not answer") << ":97" << QString() << "cannot connect to the graphical display";
        QTest::newRow("unknown platform") << QString() << "no-such-platform" << "cannot connect to the graphical display";
    }

    void noDisplayAtStart()
    {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QString, expected);
        if (!display.isEmpty() && QFile::exists(QStringLiteral("/tmp/.X11-unix/X") + display.mid(1)))
            QSKIP("a display server answers on :97");
        QTemporaryDir config;
        QList<QPair<QString, QString>> set{{QStringLiteral("XDG_CONFIG_HOME"), config.path()}};
        if (!display.isEmpty())
            set.append({QStringLiteral("DISPLAY"), display});
        if (!platform.isEmpty())
            set.append({QStringLiteral("QT_QPA_PLATFORM"), platform});
        QProcess program;
        program.setProcessEnvironment(
            environment({"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"}, set));
        program.start(QStringLiteral(QUELM_PROGRAM), {});
        QVERIFY(program.waitForFinished(60000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(errors.contains(expected), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("无法启动")), qPrintable(errors));
    }

    // No font at all, let alone a CJK one: the windows come up with whatever Qt falls back on.
    void noCjkFont()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("fonts"));
        QFile conf(dir.filePath("fonts.conf"));
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n  <dir>" +
                   QFile::encodeName(dir.filePath("fonts")) + "</dir>\n  <cachedir>" +
                   QFile::encodeName(dir.filePath("cache")) + "</cachedir>\n</fontconfig>\n");
        conf.close();
        QProcess program;
        program.setProcessEnvironment(environment(
            {"DISPLAY", "WAYLAND_DISPLAY"},
            {{"QT_QPA_PLATFORM", "offscreen"}, {"FONTCONFIG_FILE", dir.filePath("fonts.conf")},
             {"XDG_CONFIG_HOME", dir.filePath("config")}, {"XDG_DATA_HOME", dir.filePath("data")}}));
        program.start(QStringLiteral(QUELM_PROGRAM), {});
        QVERIFY(program.waitForStarted());
        // Up and idle for a while, then asked to end.
        QVERIFY2(!program.waitForFinished(4000), program.readAllStandardError().constData());
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(!errors.contains("ERROR: AddressSanitizer") && !errors.contains("runtime error:"), errors.constData());
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestMissingParts tests;
    return QTest::qExec(&tests, argc, argv);
}

#include "tst_missing_parts.moc"
