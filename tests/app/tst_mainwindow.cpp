// The main window against recording fakes of the browsers and the tray, with
// the real settings files in a temporary folder.

#include "AppFakes.h"
#include "AutostartRegistryBackend.h"
#include "EngineCatalogue.h"
#include "ErrorBox.h"
#include "FirstFrame.h"
#include "IniRegistryBackend.h"
#include "QtTranslation.h"
#include "GuardedApplication.h"
#include "SecondaryWindows.h"
#include "SettingsStore.h"
#include "controls/TrayIcon.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "main.h"
#include "obout.h"
#include "shezhi.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>
#include <optional>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// One character as the face's bitmap for 12 pixels has it (bitmaps true), or as its outline
// gives it drawn without antialiasing; empty when the face has no such bitmap.
std::optional<QImage> glyph(const QString& family, char32_t character, bool bitmaps)
{
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    int index = 0;
    std::optional<QImage> image;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && FT_Init_FreeType(&library) == 0) {
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (FT_New_Face(library, reinterpret_cast<const char*>(file), index, &face) == 0) {
            int strike = -1;
            for (int i = 0; i < face->num_fixed_sizes; ++i)
                if (face->available_sizes[i].y_ppem == 12 << 6)
                    strike = i;
            const bool sized = bitmaps ? strike >= 0 && FT_Select_Size(face, strike) == 0
                                       : FT_Set_Pixel_Sizes(face, 0, 12) == 0;
            const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | (bitmaps ? 0 : FT_LOAD_NO_BITMAP);
            if (sized && FT_Load_Char(face, character, flags) == 0) {
                const FT_Bitmap& bits = face->glyph->bitmap;
                QImage drawn(int(bits.width), int(bits.rows), QImage::Format_Mono);
                drawn.fill(0);
                for (int y = 0; y < drawn.height(); ++y)
                    for (int x = 0; x < drawn.width(); ++x)
                        drawn.setPixel(x, y, (bits.buffer[y * bits.pitch + x / 8] >> (7 - x % 8)) & 1);
                image = drawn;
            }
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
    }
    if (match)
        FcPatternDestroy(match);
    return image;
}

// Whether the mono glyph appears in the image: its set pixels in ink, the others not.
bool appearsIn(const QImage& image, QRgb ink, const QImage& glyph)
{
    for (int top = 0; top + glyph.height() <= image.height(); ++top) {
        for (int left = 0; left + glyph.width() <= image.width(); ++left) {
            bool same = true;
            for (int y = 0; same && y < glyph.height(); ++y)
                for (int x = 0; same && x < glyph.width(); ++x)
                    same = (image.pixel(left + x, top + y) == ink) == (glyph.pixelIndex(x, y) == 1);
            if (same)
                return true;
        }
    }
    return false;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    struct Fixture : TemporarySettings {
        RecordingExternalBrowser external;
        RecordingBuiltInBrowser builtIn;
        CountingTray* tray = nullptr;
        std::unique_ptr<TForm1> form;

        explicit Fixture(bool trayAvailable = true)
        {
            auto trayBackend = std::make_unique<CountingTray>(trayAvailable);
            tray = trayBackend.get();
            form = std::make_unique<TForm1>(store, external, std::move(trayBackend));
            form->SetBrowserWindow(&builtIn);
        }
        void storeIni(const QByteArray& content)
        {
            QDir().mkpath(dir.path() + QStringLiteral("/quelm_search"));
            QFile file(dir.path() + QStringLiteral("/quelm_search/quelm_search.ini"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        template <typename T> T* child(const char* name) const
        {
            return form->findChild<T*>(QLatin1String(name));
        }
        QLineEdit* q() const { return child<QLineEdit>("q"); }
        TXP_Button* go() const { return child<TXP_Button>("go"); }
        QTabWidget* pc() const { return child<QTabWidget>("pc"); }
        void show()
        {
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }
    };

    QStringList m_errors;

    template <typename T> static QList<T*> allOf()
    {
        QList<T*> found;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<T*>(window))
                found.append(form);
        return found;
    }
    template <typename T> static qsizetype countOf() { return allOf<T>().size(); }

    // The engine rows and selectors in the order Tab visits them.
    static QStringList focusOrder(QWidget* form)
    {
        QStringList order;
        QWidget* first = form->findChild<QTabWidget*>(QStringLiteral("pc"));
        for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain())
            if (qobject_cast<TXP_CheckBox*>(w) || qobject_cast<QComboBox*>(w))
                order.append(w->objectName());
        return order;
    }
    template <typename T> static T* findOne() { return allOf<T>().value(0); }

private Q_SLOTS:
    void init()
    {
        m_errors.clear();
        ErrorBox::SetPresenter([this](const QString&, const QString& text) { m_errors.append(text); });
    }

    void initialState()
    {
        Fixture f;
        QStringList ticked;
        for (TXP_CheckBox* box : f.form->findChildren<TXP_CheckBox*>())
            if (box->Checked())
                ticked.append(box->objectName());
        ticked.sort();
        QCOMPARE(ticked, (QStringList{"sbeidaftp", "schinamp3", "sgoogle", "sonline"}));
        QCOMPARE(f.form->findChildren<TXP_CheckBox*>().size(), 29);
        QCOMPARE(f.child<QComboBox>("chinam1")->currentText(), QStringLiteral("歌曲名搜索"));
        QCOMPARE(f.child<QComboBox>("sinagame")->currentText(), QStringLiteral("游戏"));
        QCOMPARE(f.child<QComboBox>("sinagame")->count(), 3);
        QCOMPARE(f.q()->text(), QStringLiteral("quelm搜索寻踪客"));
        QCOMPARE(f.pc()->currentWidget()->objectName(), QStringLiteral("ts1"));
        QCOMPARE(f.form->StatusText(), QStringLiteral("欢迎使用QUELM搜索寻踪客"));
        QCOMPARE(f.form->windowTitle(), QStringLiteral("QUELM搜索寻踪客"));
        QCOMPARE(f.child<TXP_CheckBox>("sgoogle")->geometry(), QRect(8, 6, 89, 17));
        QCOMPARE(f.child<TXP_CheckBox>("sgoogle")->parentWidget()->objectName(), QStringLiteral("ts1"));
        QCOMPARE(f.go()->geometry(), QRect(38, 67, 161, 32));
        QCOMPARE(f.go()->Caption(), QStringLiteral("一 搜 到 底"));
        QCOMPARE(f.form->centralWidget()->size(), QSize(234, 484));
        QVERIFY(!f.form->TrayIcon()->IconVisible());
        QCOMPARE(f.form->TrayIcon()->Hint(), QStringLiteral("Quelm搜索寻踪客"));
    }

    void pageTabOrderFollowsTheCatalogue()
    {
        Fixture f;
        // On 综合 the chain starts with ssina (tab order 0), then sgoogle, ssohu.
        QWidget* first = f.child<QWidget>("ssina");
        QCOMPARE(first->nextInFocusChain()->objectName(), QStringLiteral("sgoogle"));
        QCOMPARE(first->nextInFocusChain()->nextInFocusChain()->objectName(), QStringLiteral("ssohu"));
        // Tab goes from the button to the query box (non-focusable panels lie between them).
        QWidget* next = f.go()->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next, static_cast<QWidget*>(f.q()));
    }

    void searchFromButtonAndFromEnter()
    {
        Fixture f;
        f.show();
        f.q()->setText(QStringLiteral("C# & 中文"));
        QTest::mouseClick(f.go(), Qt::LeftButton, {}, QPoint(80, 16));
        QCOMPARE(f.external.urls, (QStringList{"http://www.google.com/search?q=C%23%20%26%20%E4%B8%AD%E6%96%87"}));
        QCOMPARE(f.form->StatusText(), QStringLiteral("欢迎使用Quelm搜索寻踪客！"));

        f.external.urls.clear();
        f.q()->setFocus();
        QTest::keyClick(f.q(), Qt::Key_Return);
        QCOMPARE(f.external.urls.size(), 1);   // Enter clicks go exactly once
        QTest::keyClick(f.q(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.external.urls.size(), 2);
        QVERIFY(m_errors.isEmpty());
    }

    void defaultTextClearedOnlyByTheFirstClick()
    {
        Fixture f;
        f.show();
        QTest::mouseClick(f.q(), Qt::LeftButton);
        QCOMPARE(f.q()->text(), QString());
        QTest::keyClicks(f.q(), QStringLiteral("abc"));
        QTest::mouseClick(f.q(), Qt::LeftButton);
        QCOMPARE(f.q()->text(), QStringLiteral("abc"));
    }

    void enterWithoutClickSearchesForTheDefaultText()
    {
        Fixture f;
        f.show();
        f.q()->setFocus();
        QTest::keyClick(f.q(), Qt::Key_Return);
        QCOMPARE(f.external.urls.size(), 1);
        QVERIFY(f.external.urls.first().endsWith(QStringLiteral("quelm%E6%90%9C%E7%B4%A2%E5%AF%BB%E8%B8%AA%E5%AE%A2")));
    }

    void onlyTheShowingPageIsSearched()
    {
        Fixture f;
        f.show();
        f.form->findChild<QAction*>(QStringLiteral("N11"))->trigger();
        QCOMPARE(f.pc()->currentWidget()->objectName(), QStringLiteral("ts3"));
        f.form->goClick();
        QCOMPARE(f.external.urls.size(), 1);
        QVERIFY(f.external.urls.first().startsWith(QStringLiteral("http://www.onlinedown.net/ss.php?q=")));
        // The File menu switches pages without showing a hidden window.
        f.form->hide();
        f.form->findChild<QAction*>(QStringLiteral("N9"))->trigger();
        QVERIFY(!f.form->isVisible());
    }

    void builtInModeFromStoredYes()
    {
        Fixture f;
        f.storeIni("[General]\nquelm_ie=yes\n");
        f.show();
        f.child<TXP_CheckBox>("sbaidu1")->SetChecked(true);
        f.q()->setText(QStringLiteral("x"));
        f.form->goClick();
        QCOMPARE(f.builtIn.calls, (QStringList{"show", "navigate http://www.google.com/search?q=x",
                                                "navigate http://www.baidu.com/baidu?word=x"}));
        QVERIFY(f.external.urls.isEmpty());
    }

    void nonStringModeShowsItsErrorAndOpensNothing()
    {
        Fixture f;
        f.storeIni("[General]\nquelm_ie=a, b\n");
        f.show();
        QTest::mouseClick(f.go(), Qt::LeftButton, {}, QPoint(80, 16));
        QCOMPARE(m_errors, (QStringList{"Invalid data type for 'quelm_ie'"}));   // "'" sorts before "."
        QVERIFY(f.external.urls.isEmpty());
        QVERIFY(f.builtIn.calls.isEmpty());
    }

    void browserThatCannotStartEndsTheSearchWithAMessage()
    {
        Fixture f;
        f.show();
        f.external.fail = true;
        QTest::mouseClick(f.go(), Qt::LeftButton, {}, QPoint(80, 16));
        QCOMPARE(m_errors.size(), 1);
        QVERIFY(m_errors.first().contains(QStringLiteral("xdg-open")));
        QVERIFY(f.form->StatusText() != QStringLiteral("欢迎使用Quelm搜索寻踪客！"));
    }

    void minimiseAndRestoreThroughEachTrayItem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("page");
        QTest::newRow("综合") << "N18" << "ts1";
        QTest::newRow("娱乐") << "N19" << "ts2";
        QTest::newRow("软件") << "N20" << "ts3";
        QTest::newRow("其它") << "N21" << "ts4";
    }
    void minimiseAndRestoreThroughEachTrayItem()
    {
        QFETCH(QString, item);
        QFETCH(QString, page);
        Fixture f;
        f.show();
        f.q()->setText(QStringLiteral("kept"));
        f.child<TXP_CheckBox>("ssohu")->SetChecked(true);
        for (int round = 1; round <= 2; ++round) {
            f.form->setWindowState(Qt::WindowMinimized);
            QTRY_VERIFY(!f.form->isVisible());
            QVERIFY(f.form->TrayIcon()->IconVisible());
            QCOMPARE(f.tray->adds, round);   // never two icons
            QCOMPARE(f.tray->lastTip, QStringLiteral("Quelm搜索寻踪客"));

            f.form->TrayMenu()->findChild<QAction*>(item)->trigger();
            QVERIFY(f.form->isVisible());
            QVERIFY(!f.form->isMinimized());
            QCOMPARE(f.pc()->currentWidget()->objectName(), page);
            QVERIFY(!f.form->TrayIcon()->IconVisible());
            QCOMPARE(f.tray->deletes, round);
        }
        QCOMPARE(f.q()->text(), QStringLiteral("kept"));
        QVERIFY(f.child<TXP_CheckBox>("ssohu")->Checked());
    }

    void menuGlyphsLeaveTheirBackdropOut()
    {
        Fixture f;
        const QList<QAction*> items = {f.child<QAction>("N9"), f.child<QAction>("N11"), f.child<QAction>("N14"),
                                       f.form->TrayMenu()->findChild<QAction*>("N20")};
        for (QAction* item : items) {
            QVERIFY(item);
            const QList<QSize> sizes = item->icon().availableSizes();
            QVERIFY2(!sizes.isEmpty(), qPrintable(item->objectName()));
            const QImage drawn = item->icon().pixmap(sizes.first()).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(qAlpha(drawn.pixel(0, drawn.height() - 1)), 0);
            QCOMPARE(qAlpha(drawn.pixel(drawn.width() / 2, drawn.height() / 2)), 255);
        }
    }

    void hiddenWindowSearchesNothing()
    {
        Fixture f;
        f.show();
        f.form->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!f.form->isVisible());
        f.form->goClick();
        QVERIFY(f.external.urls.isEmpty());
    }

    void withoutATrayMinimiseStaysMinimised()
    {
        Fixture f(false);
        f.show();
        f.form->setWindowState(Qt::WindowMinimized);
        QTest::qWait(50);
        QVERIFY(f.form->isVisible());
        QVERIFY(f.form->isMinimized());
        QCOMPARE(f.tray->adds, 0);
    }

    void trayPressOpensTheMenuOnlyOnTheLeftButton()
    {
        Fixture f;
        f.show();
        f.form->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(f.form->TrayIcon()->IconVisible());
        f.tray->onPress(TrayBackend::Press::Right);
        QVERIFY(!f.form->TrayMenu()->isVisible());
        f.tray->onPress(TrayBackend::Press::Left);
        QVERIFY(f.form->TrayMenu()->isVisible());
        f.form->TrayMenu()->hide();
    }

    void exitItemsCloseTheMainWindow()
    {
        Fixture f;
        f.show();
        QSignalSpy closed(f.form.get(), &TForm1::Closed);
        f.form->setWindowState(Qt::WindowMinimized);
        QTRY_VERIFY(!f.form->isVisible());
        f.form->TrayMenu()->findChild<QAction*>(QStringLiteral("N24"))->trigger();
        QCOMPARE(closed.size(), 1);
        f.show();
        f.form->findChild<QAction*>(QStringLiteral("N14"))->trigger();
        QCOMPARE(closed.size(), 2);
    }

    void helpAndHomePageGoToTheExternalBrowser()
    {
        Fixture f;
        f.show();
        f.form->findChild<QAction*>(QStringLiteral("N5"))->trigger();
        f.form->findChild<QAction*>(QStringLiteral("N16"))->trigger();
        QTest::mouseClick(f.child<QLabel>("Image1"), Qt::LeftButton);
        QCOMPARE(f.external.urls.size(), 3);
        QVERIFY(f.external.urls[0].startsWith(QStringLiteral("file:///")));
        QVERIFY(f.external.urls[0].endsWith(QStringLiteral("/help/index.htm")));
        QCOMPARE(f.external.urls[1], QStringLiteral("http://www.quelm.com/"));
        QCOMPARE(f.external.urls[2], QStringLiteral("http://www.quelm.com/"));
    }

    void browserMenuItemShowsWithoutNavigating()
    {
        Fixture f;
        f.form->findChild<QAction*>(QStringLiteral("Quelm1"))->trigger();
        QCOMPARE(f.builtIn.calls, QStringList{"show"});
    }

    // The windows that start hidden come right after the main window's first frame: the
    // settings dialog loads then, once, and an error in the settings shows its box at that
    // moment. A menu used before that has its window made at once.
    void hiddenWindowsAfterTheFirstFrame()
    {
        Fixture f;
        f.storeIni("[General]\nquelm_ie=@ByteArray(yes)\n");
        SecondaryWindows& hidden = f.form->HiddenWindows();
        f.form->show();
        hidden.CreateAfterFirstFrame();
        QCOMPARE(countOf<TForm3>(), 0);
        QVERIFY(m_errors.isEmpty());
        QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
        QTRY_COMPARE(countOf<TForm3>(), 1);
        QCOMPARE(countOf<TForm2>(), 1);
        QCOMPARE(m_errors, QStringList{"Invalid data type for 'quelm_ie'"});
        const QPointer<TForm3> dialog = findOne<TForm3>();
        f.form->findChild<QAction*>(QStringLiteral("N8"))->trigger();
        QTRY_VERIFY(dialog && dialog->isVisible());
        QCOMPARE(m_errors.size(), 1);   // shown, not loaded again
        QCOMPARE(countOf<TForm3>(), 1);
    }

    void menuUsedBeforeTheFirstFrame()
    {
        Fixture f;
        SecondaryWindows& hidden = f.form->HiddenWindows();
        f.form->findChild<QAction*>(QStringLiteral("N7"))->trigger();
        QCOMPARE(countOf<TForm2>(), 1);
        QVERIFY(findOne<TForm2>()->isVisible());
        QCOMPARE(countOf<TForm3>(), 1);
        const QPointer<TForm2> about = findOne<TForm2>();
        const QPointer<TForm3> settings = findOne<TForm3>();
        f.form->show();
        hidden.CreateAfterFirstFrame();
        // Queued from the first frame, then queued again: it runs after the windows' work.
        QObject marker;
        bool firstFrameDone = false;
        AfterFirstFrame(*f.form, &marker, [&] {
            QTimer::singleShot(0, &marker, [&] { firstFrameDone = true; });
        });
        QTRY_VERIFY(firstFrameDone);
        QVERIFY(about && settings);   // nothing made twice
        QVERIFY(about->isVisible());
        QCOMPARE(countOf<TForm2>(), 1);
        QCOMPARE(countOf<TForm3>(), 1);
        QVERIFY(m_errors.isEmpty());
    }

    // The program's window builds only the page that shows at start before its first frame; the
    // other pages follow right after it, in the same tab order as a window built whole.
    void otherPagesAfterTheFirstFrame()
    {
        Fixture whole;
        TForm1 form(whole.store, whole.external, TForm1::Pages::ShowingFirst);
        const qsizetype firstPage = EngineCatalogue::enginesOf(SearchCategory::General).size();
        QCOMPARE(form.findChildren<TXP_CheckBox*>().size(), firstPage);
        QVERIFY(!form.findChild<QComboBox*>(QStringLiteral("chinam1")));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_COMPARE(form.findChildren<TXP_CheckBox*>().size(), 29);
        QCOMPARE(focusOrder(&form), focusOrder(whole.form.get()));
        QVERIFY(!form.findChild<QComboBox*>(QStringLiteral("chinam1"))->isVisible());
    }

    // A page switched to before that is built at once, shows its rows and can be searched.
    void pageSwitchedToBeforeTheFirstFrame()
    {
        Fixture f;
        TForm1 form(f.store, f.external, TForm1::Pages::ShowingFirst);
        form.show();
        form.findChild<QAction*>(QStringLiteral("N10"))->trigger();   // 娱乐搜索
        auto* selector = form.findChild<QComboBox*>(QStringLiteral("chinam1"));
        QVERIFY(selector);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(selector->isVisible());
        QVERIFY(form.findChild<TXP_CheckBox*>(QStringLiteral("schinamp3"))->isVisible());
        QCOMPARE(selector->currentText(), QStringLiteral("歌曲名搜索"));
        form.goClick();
        QCOMPARE(f.external.urls.size(), 1);   // schinamp3 is ticked at start
    }

    // The 12-pixel text comes from the face's own bitmaps, as 宋体 draws it on Windows: the
    // status text has its two colours and no shades between them, and its characters are the
    // face's bitmaps, which differ from what the outlines give.
    void textIsDrawnFromTheFacesBitmaps()
    {
        if (!QFontDatabase::families().contains(QStringLiteral("AR PL UMing CN")))
            QSKIP("AR PL UMing (fonts-arphic-uming) is not installed");
        Fixture f;
        f.show();
        QLabel* status = f.form->statusBar()->findChild<QLabel*>();
        QVERIFY(status);
        const QImage image = status->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QCOMPARE(colours.size(), 2);
        const QRgb ink = status->palette().color(QPalette::WindowText).rgb();
        QVERIFY(colours.contains(ink));
        const QString family = QFontInfo(status->font()).family();
        bool outlinesDiffer = false;
        for (const char32_t character : QStringLiteral("欢迎使用搜索寻踪客").toUcs4()) {
            const std::optional<QImage> bitmap = glyph(family, character, true);
            if (!bitmap)
                QSKIP(qPrintable(QStringLiteral("the face in use, %1, has no 12-pixel bitmaps").arg(family)));
            QVERIFY2(appearsIn(image, ink, *bitmap), qPrintable(QString::fromUcs4(&character, 1)));
            outlinesDiffer = outlinesDiffer || glyph(family, character, false) != bitmap;
        }
        QVERIFY(outlinesDiffer);
    }

    // Qt's texts in the query box's menu and on the error box's button, as the user's locale has them.
    void qtTextsFollowTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QStringList>("menu");
        QTest::addColumn<QString>("ok");
        QTest::newRow("zh_CN") << "zh_CN" << "qtbase_zh_CN.qm"
                               << QStringList{"撤消(&U)", "重做(&R)", "剪切(&T)", "复制(&C)", "粘贴(&P)", "删除", "全选"}
                               << "确定";
        QTest::newRow("zh_HK reads zh_TW") << "zh_HK" << "qtbase_zh_TW.qm"
                                           << QStringList{"復原(&U)", "重做(&R)", "剪下(&T)", "複製(&C)",
                                                          "貼上(&P)", "刪除", "全部選擇"}
                                           << "確定";
    }
    void qtTextsFollowTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, catalogue);
        QFETCH(QStringList, menu);
        QFETCH(QString, ok);
        const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QLatin1Char('/') + catalogue;
        if (!QFile::exists(file))
            QSKIP(qPrintable(file + QStringLiteral(" is not installed (qt6-translations-l10n)")));
        QLocale::setDefault(QLocale(locale));
        QtTranslation::Install({QStringLiteral("qtbase")});
        Fixture f;
        const std::unique_ptr<QMenu> standard(f.q()->createStandardContextMenu());
        QStringList texts;
        for (QAction* action : standard->actions())
            if (!action->isSeparator())
                texts.append(action->text().section(QLatin1Char('\t'), 0, 0));
        const QMessageBox box(QMessageBox::Critical, QString(), QString(), QMessageBox::Ok);
        const QString okText = box.button(QMessageBox::Ok)->text();
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        QLocale::setDefault(QLocale::c());
        QCOMPARE(texts, menu);
        QCOMPARE(okText, ok);
    }

    // A handler's error is shown where the handler starts: it crosses neither the button's
    // signal nor the application's notify, whose last guard would only log it.
    void handlerErrorReachesTheBoxWithoutTheApplication()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("let an (unknown )?error through")));
        Fixture f;
        f.show();
        f.external.fail = true;
        QTest::mouseClick(f.go(), Qt::LeftButton);
        QCOMPARE(m_errors, QStringList{QStringLiteral("无法启动浏览器程序“xdg-open”.")});
        QVERIFY(f.external.urls.isEmpty());
    }

    void errorBoxText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("quote sorts before") << "Failed to set data for 'quelm_s'" << "Failed to set data for 'quelm_s'";
        QTest::newRow("letter") << "cannot start xdg-open" << "cannot start xdg-open.";
        QTest::newRow("full stop") << "done." << "done.";
        QTest::newRow("exclamation sorts before") << "oops!" << "oops!";
        QTest::newRow("chinese") << "无法启动" << "无法启动.";
        QTest::newRow("chinese full stop") << "请稍后再试。" << "请稍后再试。";
        QTest::newRow("chinese exclamation") << "无法启动！" << "无法启动！";
        QTest::newRow("chinese question") << "要重试吗？" << "要重试吗？";
        QTest::newRow("chinese comma") << "无法启动，" << "无法启动，.";
        QTest::newRow("empty") << "" << "";
    }
    void errorBoxText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBox::DisplayText(message), shown);
    }
};

int main(int argc, char* argv[])
{
    GuardedApplication app(argc, argv);   // its last guard logs a missed error: the test above fails on that
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
