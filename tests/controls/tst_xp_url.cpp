#include "ControlTestSupport.h"
#include "SkinnedControlTests.h"

#include "controls/ScreenCursors.h"
#include "controls/XP_Button.h"
#include "controls/XP_Url.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <stdexcept>

using namespace ControlTest;

namespace {

const QString kCaption = QStringLiteral("欢迎使用更多的quelm软件");
constexpr QRgb kParentColour = 0xFF3060A0;

} // namespace

class TestXPUrl final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Form> m_form;
    TXP_Url* m_link = nullptr;
    TXP_Button* m_button = nullptr;  // holds the focus; letters it does not take reach the form
    std::unique_ptr<RecordingLinkOpener> m_opener;

    // The underline row of a 17-pixel label in a 12-pixel font: (17 - 12) / 2 + 12.
    static constexpr int kUnderlineRow = 14;

private slots:
    void init()
    {
        m_opener = std::make_unique<RecordingLinkOpener>();
        m_form = std::make_unique<Form>();
        QPalette palette = m_form->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(kParentColour));
        m_form->setPalette(palette);
        m_form->setAutoFillBackground(true);
        m_link = new TXP_Url(m_form.get());
        m_link->move(104, 256);
        m_link->SetCaption(kCaption);
        m_link->SetUrl(QStringLiteral("http://www.quelm.com/download/"));
        m_button = new TXP_Button(m_form.get());
        m_button->move(10, 10);
        QVERIFY(m_form->ShowActive());
        m_button->setFocus();
    }
    void cleanup()
    {
        m_form.reset();
        m_opener.reset();
    }

    void constructionValues()
    {
        TXP_Url link;
        QCOMPARE(link.geometry(), QRect(0, 0, 121, 17));
        QCOMPARE(link.property("HoverColor").toUInt(), clRed);
        QCOMPARE(link.property("VisitedColor").toUInt(), clPurple);
        QCOMPARE(link.property("UnderLine").toBool(), true);
        QCOMPARE(link.property("PicTrans").toBool(), false);
        QCOMPARE(link.property("PicTransColor").toUInt(), clBlack);
        QCOMPARE(link.property("PicOffSet").toInt(), 0);
        QCOMPARE(link.property("LineOffSet").toInt(), 0);
        QCOMPARE(link.property("Visited").toBool(), false);
        QVERIFY(link.property("Url").toString().isEmpty());
        QVERIFY(!link.testAttribute(Qt::WA_OpaquePaintEvent));
    }

    void sizesItselfToTheCaption_data()
    {
        QTest::addColumn<bool>("smoothed");
        QTest::newRow("embedded bitmaps") << false;
        QTest::newRow("smoothed outlines") << true;
    }
    void sizesItselfToTheCaption()
    {
        QFETCH(bool, smoothed);
        QFont font = UmingFont();
        if (smoothed)
            font.setStyleStrategy(QFont::PreferDefault);
        m_link->setFont(font);
        QCOMPARE(m_link->width(), 138);  // 7 + 2 wide characters of 12 pixels, 5 narrow ones of 6

        m_link->SetLineOffSet(3);
        QCOMPARE(m_link->width(), 141);
        m_link->SetCaption(QStringLiteral("&Home"));
        QCOMPARE(m_link->width(), 3 + 4 * 6);
    }

    void zeroWidthStaysInvisible()
    {
        m_link->resize(0, 17);
        m_link->SetCaption(QStringLiteral("other"));
        QCoreApplication::processEvents();
        QCOMPARE(m_link->width(), 0);
    }

    void colourOrder_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("visited");
        QTest::addColumn<bool>("hover");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("plain") << true << false << false << qRgb(0, 0, 0);
        QTest::newRow("visited") << true << true << false << qRgb(128, 0, 128);
        QTest::newRow("hover over visited") << true << true << true << qRgb(255, 0, 0);
        QTest::newRow("hover") << true << false << true << qRgb(255, 0, 0);
        QTest::newRow("disabled over hover") << false << true << true << qRgb(128, 128, 128);
        QTest::newRow("disabled") << false << false << false << qRgb(128, 128, 128);
    }
    void colourOrder()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, visited);
        QFETCH(bool, hover);
        QFETCH(QRgb, colour);
        if (visited)
            m_link->OpenLink();
        m_link->setEnabled(enabled);
        m_link->repaint();
        if (hover)
            SendEnter(m_link);
        const QImage shot = Shot(m_link);
        for (int x = 0; x < 138; ++x)
            QCOMPARE(shot.pixel(x, kUnderlineRow), colour);
        QVERIFY(CountColour(shot, QRect(0, 0, 138, kUnderlineRow), colour) > 100);
        // No background of its own: the parent shows around the text.
        QCOMPARE(shot.pixel(0, 0), kParentColour);
        QCOMPARE(shot.pixel(137, 16), kParentColour);

        if (hover) {
            SendLeave(m_link);
            const QRgb after = !enabled ? colour : visited ? qRgb(128, 0, 128) : qRgb(0, 0, 0);
            QCOMPARE(Shot(m_link).pixel(0, kUnderlineRow), after);
        }
    }

    void noUnderline()
    {
        m_link->SetUnderLine(false);
        QCOMPARE(CountColour(Shot(m_link), QRect(0, kUnderlineRow, 138, 1), qRgb(0, 0, 0)), 0);
    }

    void colourChangesWaitForTheNextDrawing()
    {
        PaintCounter paints(m_link);
        m_link->SetHoverColor(RGBToColor(qRgb(0, 200, 0)));
        m_link->SetVisitedColor(RGBToColor(qRgb(0, 0, 200)));
        m_link->SetUrl(QStringLiteral("http://x/"));
        QCOMPARE(paints.count, 0);
        SendEnter(m_link);
        QCOMPARE(Shot(m_link).pixel(0, kUnderlineRow), qRgb(0, 200, 0));
    }

    void pictureBeforeTheCaption()
    {
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(qRgb(0, 160, 0));
        m_link->SetPicture(picture);
        const int tw = QFontMetrics(m_link->font()).horizontalAdvance(kCaption);
        QCOMPARE(m_link->width(), 16 + tw);
        const QImage shot = Shot(m_link);
        QCOMPARE(Differs(shot, 0, 0, picture.copy(0, 0, 16, 16)), QString());  // (17 - 16) / 2 = 0
        QCOMPARE(shot.pixel(16, 0), kParentColour);
        QCOMPARE(shot.pixel(18, kUnderlineRow), qRgb(0, 0, 0));  // caption and line start at 18
        QCOMPARE(shot.pixel(17, kUnderlineRow), kParentColour);

        m_link->setEnabled(false);
        const QRgb grey = Shot(m_link).pixel(5, 5);
        QCOMPARE(grey, qRgb(83, 83, 83));  // (0 + 160 + 0) / 3 + 30
    }

    void transparentPictureColour()
    {
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(qRgb(255, 255, 255));
        picture.setPixel(3, 3, qRgb(10, 20, 30));
        m_link->SetPicture(picture);
        m_link->SetPicTransColor(RGBToColor(qRgb(255, 255, 255)));
        m_link->SetPicTrans(true);
        const int top = (17 - 8) / 2;
        QCOMPARE(Shot(m_link).pixel(0, top), kParentColour);
        QCOMPARE(Shot(m_link).pixel(3, top + 3), qRgb(10, 20, 30));
        m_link->setEnabled(false);  // greyed, and the transparent pixels stay transparent
        QCOMPARE(Shot(m_link).pixel(0, top), kParentColour);
        QCOMPARE(Shot(m_link).pixel(3, top + 3), qRgb(50, 50, 50));
    }

    void openLinkRoutes_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("opened");
        QTest::newRow("http") << "http://www.quelm.com/download/" << "http://www.quelm.com/download/";
        QTest::newRow("blanks trimmed, case kept") << "  \tHTTP://Quelm.com/A b \r\n" << "HTTP://Quelm.com/A b";
        QTest::newRow("https") << "https://www.quelm.com/" << "https://www.quelm.com/";
        QTest::newRow("mailto") << "MailTo:Someone@Quelm.com" << "MailTo:Someone@Quelm.com";
        QTest::newRow("bare mail address") << " someone@quelm.com " << "mailto:someone@quelm.com";
        QTest::newRow("no scheme") << "www.quelm.com" << "";
        QTest::newRow("missing file") << "NoSuchFile.txt" << "";
        QTest::newRow("blanks only") << "   " << "";
        QTest::newRow("empty") << "" << "";
    }
    void openLinkRoutes()
    {
        QFETCH(QString, url);
        QFETCH(QString, opened);
        m_link->SetUrl(url);
        m_link->OpenLink();
        QVERIFY(m_link->Visited());
        QCOMPARE(m_opener->opened, opened.isEmpty() ? QStringList() : QStringList{opened});
    }

    void existingFileOpensUnderItsOwnName()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Read Me.HTM"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        m_link->SetUrl(QStringLiteral(" ") + path + QStringLiteral(" "));
        m_link->OpenLink();
        QCOMPARE(m_opener->opened, QStringList{path});

        m_link->SetUrl(dir.path());  // a directory is not a file
        m_link->OpenLink();
        QCOMPARE(m_opener->opened.size(), 1);
    }

    void openerErrorsPassOn()
    {
        m_opener->failWith = "无法打开";
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_link->OpenLink());
        QVERIFY(m_link->Visited());
    }

    void mouse_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("opens");
        QTest::addColumn<int>("clicks");
        QTest::newRow("left click") << "click" << 1 << 1;
        QTest::newRow("right press") << "right" << 1 << 0;
        QTest::newRow("double click") << "double" << 1 << 1;
        QTest::newRow("press, drag off, release") << "drag" << 1 << 0;
        QTest::newRow("disabled") << "disabled" << 0 << 0;
    }
    void mouse()
    {
        QFETCH(QString, gesture);
        QFETCH(int, opens);
        QFETCH(int, clicks);
        QSignalSpy spy(m_link, &TXP_Url::OnClick);
        const QPoint inside(20, 8);
        if (gesture == "click" || gesture == "disabled") {
            m_link->setEnabled(gesture != "disabled");
            MouseAt(m_link, Mouse::Click, inside);
        } else if (gesture == "right") {
            MouseAt(m_link, Mouse::Click, inside, Qt::RightButton);
        } else if (gesture == "double") {
            MouseAt(m_link, Mouse::DoubleClick, inside);
        } else {
            MouseAt(m_link, Mouse::Press, inside);
            MouseAt(m_link, Mouse::Move, QPoint(-50, -50));
            MouseAt(m_link, Mouse::Release, QPoint(-50, -50));
        }
        QCOMPARE(m_opener->opened.size(), opens);
        QCOMPARE(spy.count(), clicks);
        QCOMPARE(m_link->Visited(), opens > 0);
    }

    void handCursorWhileOver()
    {
        SendEnter(m_link);
        QVERIFY(m_link->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(m_link->cursor().hotSpot(), ScreenCursors::Cursor(crXPHand).hotSpot());
        QCOMPARE(m_link->cursor().hotSpot(), QPoint(7, 1));
        SendLeave(m_link);
        QVERIFY(!m_link->testAttribute(Qt::WA_SetCursor));
    }

    void accelerator_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("opens");
        QTest::newRow("enabled") << true << 1;
        QTest::newRow("disabled") << false << 0;
    }
    void accelerator()
    {
        QFETCH(bool, enabled);
        QFETCH(int, opens);
        m_link->SetCaption(QStringLiteral("&Home"));
        m_link->setEnabled(enabled);
        QTest::keyClick(m_button, Qt::Key_H);
        QCOMPARE(m_opener->opened.size(), opens);
        QTest::keyClick(m_button, Qt::Key_X);
        QCOMPARE(m_opener->opened.size(), opens);
    }

    void accessibility()
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(m_link);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Link);
        QCOMPARE(iface->text(QAccessible::Name), kCaption);
        QVERIFY(!iface->state().traversed);
        QSignalSpy spy(m_link, &TXP_Url::OnClick);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_opener->opened, QStringList{QStringLiteral("http://www.quelm.com/download/")});
        QCOMPARE(spy.count(), 1);
        QVERIFY(iface->state().traversed);
    }

    // The real opener: xdg-open from PATH, the target as its one argument, no shell.
    void defaultOpener()
    {
        m_opener.reset();
        QTemporaryDir bin;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()));
        try {
            CurrentLinkOpener().Open(QStringLiteral("http://a/"));
            QFAIL("no xdg-open on PATH, yet no error");
        } catch (const std::runtime_error& error) {
            QVERIFY(QString::fromUtf8(error.what()).contains(QStringLiteral("xdg-open")));
        }

        const QString record = bin.filePath(QStringLiteral("args"));
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '%1.new' && mv '%1.new' '%1'\n")
                         .arg(record)
                         .toUtf8());
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
        CurrentLinkOpener().Open(QStringLiteral("http://a/?q=$(x) b;c"));
        qputenv("PATH", oldPath);
        QTRY_VERIFY(QFile::exists(record));
        QFile result(record);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(result.readAll()), QStringLiteral("1|http://a/?q=$(x) b;c|"));
    }
};

int runUrlTests(int argc, char** argv)
{
    TestXPUrl test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xp_url.moc"
