#include "BrowserTests.h"

#include "RecordingBrowserControl.h"
#include "view.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <memory>

// TForm5 with a recording control in place of the engine.
class TestBrowserView final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TForm5> m_form;
    RecordingBrowserControl* m_wb = nullptr;

    template<typename T>
    T* control(const char* name) const
    {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit* edit() const { return control<QLineEdit>("Edit1"); }
    void click(const char* button) const { QTest::mouseClick(control<QToolButton>(button), Qt::LeftButton); }

private slots:
    void init()
    {
        m_wb = new RecordingBrowserControl;
        m_form = std::make_unique<TForm5>(m_wb);
    }

    void cleanup() { m_form.reset(); }

    void addressBarLayout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("sb1") << "sb1" << QRect(8, 5, 65, 25) << "主页";
        QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(80, 5, 65, 25) << "停止";
        QTest::newRow("Label1") << "Label1" << QRect(152, 11, 36, 12) << "地址：";
        QTest::newRow("Edit1") << "Edit1" << QRect(185, 7, 441, 22) << "http://www.quelm.com/";
        QTest::newRow("go") << "go" << QRect(632, 4, 65, 25) << "访问";
    }

    void addressBarLayout()
    {
        QFETCH(QString, name);
        QWidget* widget = control<QWidget>(name.toLatin1().constData());
        QCOMPARE(widget->parentWidget(), control<QWidget>("Panel2"));
        QTEST(widget->geometry(), "geometry");
        QFETCH(QString, text);
        if (auto* button = qobject_cast<QToolButton*>(widget)) {
            QCOMPARE(button->text(), text);
            QVERIFY(button->autoRaise());
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
            QCOMPARE(button->iconSize(), QSize(20, 20));
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), text);
        } else {
            QCOMPARE(qobject_cast<QLineEdit*>(widget)->text(), text);
        }
    }

    void windowAndPanels()
    {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Quelm浏览器"));
        QVERIFY(m_form->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(m_form->size(), QSize(705, 452));
        QCOMPARE(m_form->palette().color(QPalette::Window), QColor(248, 246, 230));
        // 宋体 at 12 pixels, as on every window of the program, or the free face with its metrics:
        // those of them that are installed, in this order, or all of them when none is.
        const QStringList song{QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN")};
        const QStringList installed = QFontDatabase::families();
        QStringList expected;
        for (const QString& family : song)
            if (installed.contains(family))
                expected << family;
        QCOMPARE(m_form->font().families(), expected.isEmpty() ? song : expected);
        QCOMPARE(m_form->font().pixelSize(), 12);
        QCOMPARE(edit()->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(edit()->font().pixelSize(), 12);

        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        QCOMPARE(control<QFrame>("Panel2")->geometry(), QRect(0, 0, 705, 36));
        QCOMPARE(control<QFrame>("Panel1")->geometry(), QRect(0, 36, 705, 416));
        QCOMPARE(m_wb->parentWidget(), control<QWidget>("Panel1"));
        QCOMPARE(m_wb->geometry(), QRect(1, 1, 703, 414));
        QCOMPARE(m_form->wb(), m_wb);

        // Only the panels and the browser follow the window's size.
        m_form->resize(900, 600);
        QTRY_COMPARE(m_wb->geometry(), QRect(1, 1, 898, 562));
        QCOMPARE(control<QWidget>("go")->geometry(), QRect(632, 4, 65, 25));
        QCOMPARE(control<QFrame>("Panel2")->height(), 36);
        QVERIFY(m_wb->calls.isEmpty());
    }

    void goWithTheAddressUnchangedLoadsTheHomePage()
    {
        click("go");
        QCOMPARE(m_wb->calls, QStringList({"navigate http://www.quelm.com/"}));
    }

    void goCompletesTheAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("host only") << "www.example.com" << "http://www.example.com";
        QTest::newRow("host, port and path") << "127.0.0.1:8080/x" << "http://127.0.0.1:8080/x";
        QTest::newRow("name and port") << "localhost:8080/x" << "http://localhost:8080/x";
        QTest::newRow("path") << "/tmp/page.html" << "file:///tmp/page.html";
        QTest::newRow("complete, escapes kept") << "https://a.example/s?q=%41%e4&b" << "https://a.example/s?q=%41%e4&b";
        QTest::newRow("blanks around") << "  http://a.example/  " << "http://a.example/";
        QTest::newRow("empty goes unchanged") << "" << "";
    }

    void goCompletesTheAddress()
    {
        QFETCH(QString, typed);
        QFETCH(QString, loaded);
        edit()->setText(typed);
        click("go");
        QCOMPARE(m_wb->calls, QStringList({"navigate " + loaded}));
        QCOMPARE(edit()->text(), typed);
    }

    void homeLeavesTheAddressBoxAlone()
    {
        edit()->setText(QStringLiteral("typed but not visited"));
        click("sb1");
        QCOMPARE(m_wb->calls, QStringList({"navigate http://www.quelm.com/"}));
        QCOMPARE(edit()->text(), QStringLiteral("typed but not visited"));
    }

    void stopStops()
    {
        click("SpeedButton1");
        QCOMPARE(m_wb->calls, QStringList({"stop"}));
    }

    void enterInTheAddressBoxLoadsNothing()
    {
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        edit()->setFocus();
        edit()->setText(QStringLiteral("www.example.com"));
        QTest::keyClick(edit(), Qt::Key_Return);
        QTest::keyClick(edit(), Qt::Key_Enter);
        QTest::qWait(20);
        QVERIFY(m_wb->calls.isEmpty());
        QCOMPARE(edit()->text(), QStringLiteral("www.example.com"));
        QVERIFY(m_form->isVisible());
    }

    void refusedNavigationEndsTheHandler()
    {
        m_wb->refuse = true;
        edit()->setText(QStringLiteral("http://refused/"));
        QVERIFY_THROWS_EXCEPTION(QuelmError, m_form->goClick());
        QCOMPARE(edit()->text(), QStringLiteral("http://refused/"));
    }

    void showCentresOnceThenKeepsThePlace()
    {
        m_form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(qAbs(m_form->geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(m_form->geometry().center().y() - screen.center().y()) <= 1);

        m_form->move(17, 23);
        const QPoint moved = m_form->pos();
        m_form->close();
        QVERIFY(!m_form->isVisible());
        m_form->Show();
        QVERIFY(m_form->isVisible());
        QCOMPARE(m_form->pos(), moved);
        // Closing and showing again neither reloads nor stops the page.
        QVERIFY(m_wb->calls.isEmpty());
        QCOMPARE(m_form->wb(), m_wb);
    }
};

int runBrowserViewTests(int argc, char** argv)
{
    TestBrowserView suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "TestBrowserView.moc"
