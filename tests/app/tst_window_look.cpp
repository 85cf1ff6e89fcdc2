// The windows as a desktop shows them: the same pixels under a dark colour scheme, the
// underline beneath the query box, and the names a screen reader finds.

#include "AppFakes.h"
#include "main.h"
#include "obout.h"
#include "shezhi.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include <memory>

class TestWindowLook : public QObject
{
    Q_OBJECT

private:
    struct Windows : TemporarySettings {
        RecordingExternalBrowser external;
        TForm1 main{store, external, std::make_unique<CountingTray>()};
        TForm2 about;
        TForm3 settings{store, QStringLiteral("/usr/bin/quelm")};

        // Every window, both settings pages and the pop-up menus, as they paint.
        QList<QImage> Render()
        {
            QList<QImage> shots;
            main.show();
            about.show();
            settings.show();
            for (QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&about)})
                shots.append(window->grab().toImage());
            auto* pages = settings.findChild<QTabWidget*>(QStringLiteral("pc1"));
            for (int page : {0, 1}) {
                pages->setCurrentIndex(page);
                shots.append(settings.grab().toImage());
            }
            for (const char* name : {"N1", "PopupMenu1"}) {
                auto* menu = main.findChild<QMenu*>(QLatin1String(name));
                menu->adjustSize();
                shots.append(menu->grab().toImage());
            }
            return shots;
        }
    };

    static QPalette DarkPalette()
    {
        QPalette dark(QColor(50, 50, 50));   // Qt derives light text for a dark button
        dark.setColor(QPalette::Base, QColor(36, 36, 36));
        dark.setColor(QPalette::ToolTipBase, QColor(20, 20, 20));
        dark.setColor(QPalette::ToolTipText, QColor(240, 240, 240));
        dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(130, 130, 130));
        return dark;
    }

private Q_SLOTS:
    void darkSchemeLeavesEveryWindowAsDrawn()
    {
        const QPalette saved = QApplication::palette();
        QList<QImage> light;
        {
            Windows windows;
            light = windows.Render();
        }
        QApplication::setPalette(DarkPalette());
        Windows windows;
        const QList<QImage> dark = windows.Render();
        const QPalette toolTips = QToolTip::palette();
        QApplication::setPalette(saved);

        QCOMPARE(dark.size(), light.size());
        for (int i = 0; i < light.size(); ++i) {
            QCOMPARE(dark[i].size(), light[i].size());
            QVERIFY2(dark[i] == light[i], qPrintable(QStringLiteral("window %1 changed with the scheme").arg(i)));
        }
        QCOMPARE(toolTips.color(QPalette::ToolTipText), QColor(Qt::black));
    }

    void underlineLiesJustBelowTheQueryText()
    {
        Windows windows;
        windows.main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&windows.main));
        auto* q = windows.main.findChild<QLineEdit*>(QStringLiteral("q"));
        q->setText(QStringLiteral("quelm搜索寻踪客gjpqy"));   // descenders: the lowest text row
        const QImage shot = windows.main.grab().toImage();
        const QRect box(q->mapTo(&windows.main, QPoint(0, 0)), q->size());

        int textBottom = -1;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                if (qGray(shot.pixel(x, y)) < 96)
                    textBottom = y;
        QVERIFY(textBottom >= 0);

        // The line: a run across most of the box in the rows just below the text, in l1's light
        // blue; the face's thin stroke is smoothed into the cream, but stays bluer than it is red,
        // which neither the cream nor the grey text is.
        const auto inLineColour = [](QRgb pixel) { return qBlue(pixel) >= qRed(pixel) + 8; };
        int lineRow = -1;
        for (int y = textBottom + 1; y <= textBottom + 3 && lineRow < 0; ++y) {
            int run = 0;
            for (int x = box.left(); x <= box.right(); ++x)
                run += inLineColour(shot.pixel(x, y));
            if (run > box.width() * 3 / 4)
                lineRow = y;
        }
        QVERIFY2(lineRow > textBottom, "no line in l1's colour below the query text");
    }

    void queryBoxAndBannerHaveNames()
    {
        Windows windows;
        windows.main.show();
        QAccessibleInterface* query =
            QAccessible::queryAccessibleInterface(windows.main.findChild<QLineEdit*>(QStringLiteral("q")));
        QVERIFY(query);
        QCOMPARE(query->text(QAccessible::Name), QStringLiteral("请输入搜索内容："));
        const auto labels = query->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("请输入搜索内容："));

        QAccessibleInterface* banner =
            QAccessible::queryAccessibleInterface(windows.main.findChild<QWidget*>(QStringLiteral("Image1")));
        QVERIFY(banner);
        QCOMPARE(banner->text(QAccessible::Name), QStringLiteral("访问quelm网站"));
    }
};

QTEST_MAIN(TestWindowLook)
#include "tst_window_look.moc"
