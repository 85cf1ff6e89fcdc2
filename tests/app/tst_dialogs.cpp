// The settings dialog against the real settings files, the about box, and the
// tray icon component against a counting tray.

#include "AppFakes.h"
#include "AutostartRegistryBackend.h"
#include "ErrorBox.h"
#include "IniRegistryBackend.h"
#include "GuardedApplication.h"
#include "SettingsStore.h"
#include "controls/TrayIcon.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "controls/XP_Url.h"
#include "obout.h"
#include "shezhi.h"

#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>


class TestDialogs : public QObject
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

        QString iniPath() const { return iniFolder + QStringLiteral("/quelm_search.ini"); }
        QString entryPath() const { return autostartFolder + QStringLiteral("/com.quelm.Search.desktop"); }
        QByteArray read(const QString& path) const
        {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }
    };

    template <typename T> static T* child(QWidget* form, const char* name)
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    QStringList m_errors;

private Q_SLOTS:
    void init()
    {
        m_errors.clear();
        ErrorBox::SetPresenter([this](const QString&, const QString& text) { m_errors.append(text); });
    }

    void freshSystemShowsLoginOffAndExternalBrowser()
    {
        Settings s;
        TForm3 dialog(s.store, QStringLiteral("/opt/quelm/bin/quelm"));
        QVERIFY(!child<TXP_CheckBox>(&dialog, "xb1")->Checked());
        QVERIFY(!child<TXP_RadioBox>(&dialog, "xb2")->Checked());
        QVERIFY(child<TXP_RadioBox>(&dialog, "xb3")->Checked());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Quelm设置"));
        QCOMPARE(child<QTabWidget>(&dialog, "pc1")->currentIndex(), 1);
        QVERIFY(m_errors.isEmpty());
    }

    void saveWritesBothSettingsAndStaysOpen()
    {
        Settings s;
        TForm3 dialog(s.store, QStringLiteral("/opt/quelm/bin/quelm"));
        dialog.ShowOnPage(1);
        child<TXP_CheckBox>(&dialog, "xb1")->SetChecked(true);
        child<TXP_RadioBox>(&dialog, "xb2")->SetChecked(true);
        QVERIFY(!child<TXP_RadioBox>(&dialog, "xb3")->Checked());
        child<TXP_Button>(&dialog, "b1")->Click();
        QVERIFY(dialog.isVisible());
        QCOMPARE(child<QTabWidget>(&dialog, "pc1")->currentIndex(), 1);
        QCOMPARE(s.store.readBrowserModeText().text, QStringLiteral("yes"));
        QCOMPARE(s.store.readStartWithSystem().text, QStringLiteral("/opt/quelm/bin/quelm"));

        child<TXP_CheckBox>(&dialog, "xb1")->SetChecked(false);
        child<TXP_RadioBox>(&dialog, "xb3")->SetChecked(true);
        child<TXP_Button>(&dialog, "b1")->Click();
        QVERIFY(s.store.readBrowserModeText().keyOpened);
        QCOMPARE(s.store.readBrowserModeText().text, QString());
        QCOMPARE(s.store.readStartWithSystem().text, QString());
        QVERIFY(QFile::exists(s.entryPath()));   // switched off, not deleted
        QVERIFY(m_errors.isEmpty());
    }

    void savedSettingsAreLoadedByTheNextDialog()
    {
        Settings s;
        s.store.writeStartWithSystem(true, QStringLiteral("/usr/bin/quelm"));
        s.store.writeBrowserMode(true);
        TForm3 dialog(s.store);
        QVERIFY(child<TXP_CheckBox>(&dialog, "xb1")->Checked());
        QVERIFY(child<TXP_RadioBox>(&dialog, "xb2")->Checked());
        QVERIFY(!child<TXP_RadioBox>(&dialog, "xb3")->Checked());
    }

    void anyOtherStoredModeShowsTheBuiltInBrowser()
    {
        Settings s;
        QDir().mkpath(s.iniFolder);
        QFile file(s.iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nquelm_ie=no\n");
        file.close();
        TForm3 dialog(s.store);
        QVERIFY(child<TXP_RadioBox>(&dialog, "xb2")->Checked());
    }

    void exitHidesAndKeepsUnsavedChoices()
    {
        Settings s;
        TForm3 dialog(s.store);
        dialog.ShowOnPage(0);
        QCOMPARE(child<QTabWidget>(&dialog, "pc1")->currentIndex(), 0);
        child<TXP_RadioBox>(&dialog, "xb2")->SetChecked(true);
        child<TXP_Button>(&dialog, "b2")->Click();
        QVERIFY(!dialog.isVisible());
        dialog.ShowOnPage(1);
        QVERIFY(child<TXP_RadioBox>(&dialog, "xb2")->Checked());
        QCOMPARE(child<QTabWidget>(&dialog, "pc1")->currentIndex(), 1);
        QCOMPARE(s.store.readBrowserModeText().text, QString());   // nothing was saved
    }

    void saveThatFailsShowsTheErrorAndKeepsTheDialog()
    {
        Settings s;
        // A file where the autostart folder should be: no one, root included, can write there.
        QFile blocker(s.autostartFolder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TForm3 dialog(s.store);
        dialog.ShowOnPage(0);
        child<TXP_CheckBox>(&dialog, "xb1")->SetChecked(true);
        QTest::mouseClick(child<TXP_Button>(&dialog, "b1"), Qt::LeftButton, {}, QPoint(30, 12));
        QCOMPARE(m_errors, QStringList{"Failed to set data for 'quelm_s'"});
        QVERIFY(dialog.isVisible());
        QVERIFY(child<TXP_CheckBox>(&dialog, "xb1")->Checked());
    }

    void aboutBoxContent()
    {
        TForm2 about;
        QCOMPARE(about.windowTitle(), QStringLiteral("关于本软件"));
        QCOMPARE(about.size(), QSize(446, 292));
        auto* link = child<TXP_Url>(&about, "XP_Url2");
        QCOMPARE(link->Caption(), QStringLiteral("欢迎使用更多的quelm软件"));
        QCOMPARE(link->Url(), QStringLiteral("http://www.quelm.com/download/"));
        auto* memo = child<QPlainTextEdit>(&about, "Memo1");
        QVERIFY(memo->isReadOnly());
        QVERIFY(memo->toPlainText().startsWith(QStringLiteral("  本软件能运行于Win/9X和2000系列平台。")));
        about.show();
        child<TXP_Button>(&about, "b1")->Click();
        QVERIFY(!about.isVisible());
    }

    void descriptionLinesFitTheMemo()
    {
        const QStringList lines = TForm2::WrapParagraphs(TForm2::Description());
        QVERIFY(lines.size() > 6);
        for (const QString& line : lines) {
            int bytes = 0;
            for (QChar c : line)
                bytes += c.unicode() < 0x80 ? 1 : 2;
            QVERIFY2(bytes <= 48, qPrintable(line));
        }
        // Words are not split, and every paragraph starts indented.
        const QStringList wrapped = TForm2::WrapParagraphs({QString(22, QChar(0x4E2D)) + QStringLiteral(" quelm")}, 48);
        QCOMPARE(wrapped.size(), 2);
        QCOMPARE(wrapped.last(), QStringLiteral("quelm"));
        QVERIFY(wrapped.first().startsWith(QStringLiteral("  ")));
    }

    void trayTipIsCutBetweenCharacters_data()
    {
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("tip");
        QTest::newRow("product") << "Quelm搜索寻踪客" << "Quelm搜索寻踪客";
        QTest::newRow("63 ascii") << QString(70, QLatin1Char('a')) << QString(63, QLatin1Char('a'));
        // 31 CJK characters are 62 bytes; the 32nd would make 64.
        QTest::newRow("cjk") << QString(40, QChar(0x4E2D)) << QString(31, QChar(0x4E2D));
        QTest::newRow("odd boundary") << (QLatin1Char('a') + QString(40, QChar(0x4E2D)))
                                      << (QLatin1Char('a') + QString(31, QChar(0x4E2D)));
    }
    void trayTipIsCutBetweenCharacters()
    {
        QFETCH(QString, hint);
        QFETCH(QString, tip);
        QCOMPARE(TTrayIcon::TipText(hint), tip);
    }

    void trayIconAddsAndDeletesOnlyOnChange()
    {
        auto backend = std::make_unique<CountingTray>();
        CountingTray* tray = backend.get();
        {
            TTrayIcon icon(nullptr, std::move(backend));
            QCOMPARE(icon.Hint(), QStringLiteral("TrayIcon"));
            icon.SetIconVisible(false);
            QCOMPARE(tray->deletes, 0);
            icon.SetIconVisible(true);
            icon.SetIconVisible(true);
            QCOMPARE(tray->adds, 1);
            icon.SetHint(QStringLiteral("新的提示"));
            QCOMPARE(tray->adds, 1);            // a shown tip changes only at the next add
            QCOMPARE(tray->lastTip, QStringLiteral("TrayIcon"));
            icon.SetIconVisible(false);
            icon.SetIconVisible(true);
            QCOMPARE(tray->lastTip, QStringLiteral("新的提示"));
            QCOMPARE(tray->deletes, 1);
            QVERIFY(tray->shown);
        }
    }

    void trayIconRemovesAShownIconWhenDestroyed()
    {
        auto deletes = std::make_shared<int>(0);
        auto backend = std::make_unique<CountingTray>();
        backend->deletesOut = deletes;
        auto owner = std::make_unique<QObject>();
        auto* icon = new TTrayIcon(owner.get(), std::move(backend));
        icon->SetIconVisible(true);
        QCOMPARE(*deletes, 0);
        owner.reset();   // the owner's destruction takes the icon with it
        QCOMPARE(*deletes, 1);
    }

    void popupMenuReferenceClearsWhenTheMenuIsDestroyed()
    {
        TTrayIcon icon(nullptr, std::make_unique<CountingTray>());
        auto* menu = new QMenu;
        icon.SetPopupMenu(menu);
        QCOMPARE(icon.PopupMenu(), menu);
        delete menu;
        QCOMPARE(icon.PopupMenu(), nullptr);
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);
    TestDialogs test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
