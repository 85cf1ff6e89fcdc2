#include "ControlTestSupport.h"
#include "SkinnedControlTests.h"

#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace ControlTest;

class TestXPRadioBox final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Form> m_form;
    QWidget* m_page = nullptr;
    TXP_RadioBox* m_first = nullptr;
    TXP_RadioBox* m_second = nullptr;

    TXP_RadioBox* Radio(QWidget* parent, int y, int group = 0)
    {
        auto* radio = new TXP_RadioBox(parent);
        radio->move(10, y);
        radio->SetGroupIndex(group);
        radio->show();
        return radio;
    }

private slots:
    void init()
    {
        m_form = std::make_unique<Form>();
        m_page = new QWidget(m_form.get());
        m_page->setGeometry(0, 0, 400, 150);
        m_first = Radio(m_page, 10);
        m_first->SetCaption(QStringLiteral("每次搜索调用QUELM浏览器"));
        m_second = Radio(m_page, 40);
        m_second->SetCaption(QStringLiteral("每次搜索调用 IE  浏览器"));
        m_second->SetChecked(true);
        QVERIFY(m_form->ShowActive());
    }
    void cleanup() { m_form.reset(); }

    void constructionValues()
    {
        TXP_RadioBox radio;
        QCOMPARE(radio.geometry(), QRect(0, 0, 121, 17));
        QCOMPARE(radio.property("GroupIndex").toInt(), 0);
        QCOMPARE(radio.property("Checked").toBool(), false);
        QCOMPARE(radio.property("Color").toUInt(), 15136504u);
        QCOMPARE(radio.property("TabStop").toBool(), true);
    }

    void checkingUnchecksTheGroup()
    {
        PaintCounter firstPaints(m_first), secondPaints(m_second);
        QSignalSpy firstClicks(m_first, &TXP_RadioBox::OnClick), secondClicks(m_second, &TXP_RadioBox::OnClick);
        m_first->SetChecked(true);
        QVERIFY(m_first->Checked());
        QVERIFY(!m_second->Checked());
        QCOMPARE(firstPaints.count, 1);
        QCOMPARE(secondPaints.count, 1);
        m_first->SetChecked(false);  // nothing is checked in its place
        QVERIFY(!m_first->Checked());
        QVERIFY(!m_second->Checked());
        QCOMPARE(firstClicks.count() + secondClicks.count(), 0);
    }

    void groupsAreByParentAndIndex()
    {
        auto* checkBox = new TXP_CheckBox(m_page);
        checkBox->SetChecked(true);
        TXP_RadioBox* otherGroup = Radio(m_page, 70, 1);
        auto* otherPage = new QWidget(m_form.get());
        TXP_RadioBox* otherParent = Radio(otherPage, 10, 0);
        otherParent->SetChecked(true);

        otherGroup->SetChecked(true);
        QVERIFY(m_second->Checked());
        m_first->SetChecked(true);
        QVERIFY(!m_second->Checked());
        QVERIFY(otherGroup->Checked());
        QVERIFY(otherParent->Checked());
        QVERIFY(checkBox->Checked());

        // Moving a checked box into a group with a checked member leaves both checked.
        otherGroup->SetGroupIndex(0);
        QVERIFY(otherGroup->Checked());
        QVERIFY(m_first->Checked());
        otherGroup->SetChecked(false);
        otherGroup->SetChecked(true);
        QVERIFY(!m_first->Checked());
    }

    void userActions_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<bool>("startChecked");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("paints");
        QTest::newRow("click unchecked") << "click" << false << 1 << 2;
        QTest::newRow("click checked: still a repaint") << "click" << true << 1 << 1;
        QTest::newRow("space unchecked") << "space" << false << 1 << 1;
        QTest::newRow("space checked: no repaint") << "space" << true << 1 << 0;
        QTest::newRow("enter checked: no repaint") << "enter" << true << 1 << 0;
        QTest::newRow("double click") << "double" << false << 2 << 2;
        QTest::newRow("right button") << "right" << false << 0 << 0;
    }
    void userActions()
    {
        QFETCH(QString, gesture);
        QFETCH(bool, startChecked);
        QFETCH(int, clicks);
        QFETCH(int, paints);
        m_first->SetChecked(startChecked);
        // No focus change and no pointer entering may add paints of their own.
        m_first->setFocus();
        QVERIFY(m_first->HasFocus());
        MouseAt(m_first, Mouse::Move, QPoint(5, 8));
        PaintCounter counter(m_first);
        QSignalSpy spy(m_first, &TXP_RadioBox::OnClick);
        if (gesture == "click")
            MouseAt(m_first, Mouse::Click, QPoint(5, 8));
        else if (gesture == "double")
            MouseAt(m_first, Mouse::DoubleClick, QPoint(5, 8));
        else if (gesture == "right")
            MouseAt(m_first, Mouse::Click, QPoint(5, 8), Qt::RightButton);
        else
            QTest::keyClick(m_first, gesture == "space" ? Qt::Key_Space : Qt::Key_Return);
        QCOMPARE(spy.count(), clicks);
        // A user action never unchecks.
        QCOMPARE(m_first->Checked(), gesture != "right" || startChecked);
        QCOMPARE(m_second->Checked(), gesture == "right" && !startChecked);
        QCOMPARE(counter.count, paints);
    }

    void cornersShowColor_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("hot");
        QTest::addColumn<int>("frame");
        QTest::newRow("1") << true << false << false << 1;
        QTest::newRow("2") << true << true << false << 2;
        QTest::newRow("3") << false << false << false << 3;
        QTest::newRow("4") << false << true << false << 4;
        QTest::newRow("5") << true << false << true << 5;
        QTest::newRow("6") << true << true << true << 6;
    }
    void cornersShowColor()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        QFETCH(bool, hot);
        QFETCH(int, frame);
        const QRgb colour = qRgb(12, 34, 56);
        m_first->SetColor(RGBToColor(colour));
        m_first->SetChecked(checked);
        m_first->setEnabled(enabled);
        m_first->repaint();
        if (hot)
            SendEnter(m_first);
        const QImage shot = Shot(m_first);
        QImage expected = Frame("XPRADIOBOX", 6, frame);
        int corners = 0;
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 13; ++x) {
                if ((expected.pixel(x, y) & 0xFFFFFF) == 0xFF00FF) {
                    expected.setPixel(x, y, colour);
                    ++corners;
                }
            }
        }
        QCOMPARE(corners, 24);
        QCOMPARE(Differs(shot, 0, 2, expected), QString());
    }

    void accessibility()
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(m_first);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::RadioButton);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("每次搜索调用QUELM浏览器"));
        QVERIFY(!iface->state().checked);
        QSignalSpy spy(m_first, &TXP_RadioBox::OnClick);
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(iface->state().checked);
        QVERIFY(!m_second->Checked());
        QCOMPARE(spy.count(), 1);
    }
};

int runRadioBoxTests(int argc, char** argv)
{
    TestXPRadioBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xp_radiobox.moc"
