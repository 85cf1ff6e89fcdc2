#include "ControlTestSupport.h"
#include "SkinnedControlTests.h"

#include "controls/SkinText.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"

#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace ControlTest;

namespace {

QImage BoxFrame(int index)
{
    return Frame("XPCHECKBOX", 6, index);
}

} // namespace

class TestXPCheckBox final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Form> m_form;
    TXP_CheckBox* m_box = nullptr;
    TXP_Button* m_other = nullptr;  // takes the focus away and lets letters through to the form

    QString GlyphDiffers(int frame) const { return Differs(Shot(m_box), 0, (m_box->height() - 13) / 2, BoxFrame(frame)); }

private slots:
    void init()
    {
        m_form = std::make_unique<Form>();
        m_box = new TXP_CheckBox(m_form.get());
        m_box->move(10, 10);
        m_box->SetCaption(QStringLiteral("开机时自动运行"));
        m_other = new TXP_Button(m_form.get());
        m_other->move(10, 60);
        QVERIFY(m_form->ShowActive());
        m_other->setFocus();
    }
    void cleanup() { m_form.reset(); }

    void constructionValues()
    {
        TXP_CheckBox box;
        QCOMPARE(box.geometry(), QRect(0, 0, 121, 17));
        QCOMPARE(box.property("TabStop").toBool(), true);
        QCOMPARE(box.property("Checked").toBool(), false);
        QCOMPARE(box.property("Color").toUInt(), 15136504u);
        QCOMPARE(box.HasFocus(), false);
        QVERIFY(box.testAttribute(Qt::WA_OpaquePaintEvent));
        QVERIFY(box.setProperty("Caption", QStringLiteral("x")));
        QCOMPARE(box.Caption(), QStringLiteral("x"));
    }

    void framesFollowState_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("resting");
        QTest::addColumn<int>("hot");
        QTest::newRow("unchecked") << true << false << 1 << 5;
        QTest::newRow("checked") << true << true << 2 << 6;
        QTest::newRow("disabled unchecked") << false << false << 3 << 3;
        QTest::newRow("disabled checked") << false << true << 4 << 4;
    }
    void framesFollowState()
    {
        QFETCH(bool, enabled);
        QFETCH(bool, checked);
        QFETCH(int, resting);
        QFETCH(int, hot);
        m_box->setEnabled(enabled);
        m_box->SetChecked(checked);
        QCOMPARE(GlyphDiffers(resting), QString());
        SendEnter(m_box);
        QCOMPARE(GlyphDiffers(hot), QString());
        m_box->repaint();  // the hot look is drawn once, not kept
        QCOMPARE(GlyphDiffers(resting), QString());
        SendEnter(m_box);
        SendLeave(m_box);
        QCOMPARE(GlyphDiffers(resting), QString());
    }

    void backgroundAndDisabledCaption()
    {
        m_box->SetColor(RGBToColor(qRgb(10, 200, 30)));
        m_box->repaint();
        QImage shot = Shot(m_box);
        QCOMPARE(shot.pixel(14, 0) & 0xFFFFFF, 0x0AC81Eu);
        QCOMPARE(shot.pixel(120, 16) & 0xFFFFFF, 0x0AC81Eu);
        QVERIFY(CountColour(shot, QRect(17, 0, 104, 17), qRgb(0, 0, 0)) > 0);

        m_box->setEnabled(false);
        shot = Shot(m_box);
        QCOMPARE(CountColour(shot, QRect(17, 0, 104, 17), qRgb(0, 0, 0)), 0);
        QVERIFY(CountColour(shot, QRect(17, 0, 104, 17), 0x808080) > 0);
    }

    void lowControlCutsTheGlyph()
    {
        m_box->resize(121, 10);
        m_box->repaint();
        // (10 - 13) / 2 rounds toward zero: the glyph starts one row above the control.
        QCOMPARE(Differs(Shot(m_box), 0, -1, BoxFrame(1)), QString());
    }

    void focusRectangle_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("caption") << QStringLiteral("开机时自动运行");
        QTest::newRow("empty caption") << QString();
        QTest::newRow("doubled ampersand") << QStringLiteral("A&&B");
    }
    void focusRectangle()
    {
        QFETCH(QString, caption);
        m_box->SetCaption(caption);
        const QImage unfocused = Shot(m_box);
        QTest::keyClick(m_other, Qt::Key_Tab);  // focus by Tab: the rectangle and nothing else
        QVERIFY(m_box->hasFocus());
        QVERIFY(m_box->HasFocus());
        QCOMPARE(m_box->Checked(), false);
        const QImage focused = Shot(m_box);

        const QFontMetrics metrics(m_box->font());
        const int tw = metrics.horizontalAdvance(SkinText::StripAmpersands(caption)), th = metrics.height();
        const int left = 16, top = (17 - th) / 2 - 1, right = left + tw, bottom = top + th;  // inclusive
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 121; ++x) {
                const bool onOutline = x >= left && x <= right && y >= top && y <= bottom &&
                                       (x == left || x == right || y == top || y == bottom);
                const QRgb expected = onOutline && (x + y) % 2 == 0 ? unfocused.pixel(x, y) ^ 0xFFFFFF : unfocused.pixel(x, y);
                if (focused.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel (%1,%2)").arg(x).arg(y)));
            }
        }
        m_other->setFocus();
        QCOMPARE(Shot(m_box), unfocused);
    }

    void onClickCounts_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("clicks");
        QTest::newRow("click") << "click" << true << 1;
        QTest::newRow("press, drag off, release") << "drag" << true << 1;
        QTest::newRow("double click") << "double" << true << 2;
        QTest::newRow("right button") << "right" << false << 0;
        QTest::newRow("space held, three repeats") << "space" << true << 3;
        QTest::newRow("enter") << "enter" << true << 1;
        QTest::newRow("SetChecked") << "set" << true << 0;
    }
    void onClickCounts()
    {
        QFETCH(QString, gesture);
        QFETCH(bool, checked);
        QFETCH(int, clicks);
        QSignalSpy spy(m_box, &TXP_CheckBox::OnClick);
        const QPoint inside(5, 8);
        if (gesture == "click") {
            MouseAt(m_box, Mouse::Click, inside);
        } else if (gesture == "drag") {
            MouseAt(m_box, Mouse::Press, inside);
            QVERIFY(m_box->Checked());  // toggled at the press
            MouseAt(m_box, Mouse::Move, QPoint(200, 80));
            MouseAt(m_box, Mouse::Release, QPoint(200, 80));
        } else if (gesture == "double") {
            MouseAt(m_box, Mouse::DoubleClick, inside);
        } else if (gesture == "right") {
            MouseAt(m_box, Mouse::Click, inside, Qt::RightButton);
            QVERIFY(!m_box->hasFocus());
        } else if (gesture == "space") {
            m_box->setFocus();
            SendKey(m_box, Qt::Key_Space, QStringLiteral(" "), false);
            SendKey(m_box, Qt::Key_Space, QStringLiteral(" "), true);
            SendKey(m_box, Qt::Key_Space, QStringLiteral(" "), true);
        } else if (gesture == "enter") {
            m_box->setFocus();
            QTest::keyClick(m_box, Qt::Key_Return);
        } else {
            m_box->SetChecked(true);
        }
        QCOMPARE(m_box->Checked(), checked);
        QCOMPARE(spy.count(), clicks);
        for (const QList<QVariant>& call : spy)
            QCOMPARE(call.at(0).value<QObject*>(), m_box);
    }

    void clickShowsRestingFrameAndTakesFocus()
    {
        SendEnter(m_box);
        MouseAt(m_box, Mouse::Click, QPoint(5, 8));
        QVERIFY(m_box->hasFocus());
        QCOMPARE(GlyphDiffers(2), QString());  // not the hot frame 6, though the pointer is on it
    }

    void setCheckedRepaintsOnlyOnChange()
    {
        PaintCounter paints(m_box);
        m_box->SetChecked(false);
        QCOMPARE(paints.count, 0);
        m_box->SetChecked(true);
        QCOMPARE(paints.count, 1);  // at once, not at the next event loop turn
        QCOMPARE(GlyphDiffers(2), QString());
    }

    void accelerator_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("taken");
        QTest::newRow("letter after &") << QStringLiteral("&Sound") << true << true;
        QTest::newRow("last single & counts") << QStringLiteral("&Ab &Sound") << true << true;
        QTest::newRow("only doubled") << QStringLiteral("S&&ound") << true << false;
        QTest::newRow("disabled") << QStringLiteral("&Sound") << false << false;
    }
    void accelerator()
    {
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(bool, taken);
        m_box->SetCaption(caption);
        m_box->setEnabled(enabled);
        QSignalSpy spy(m_box, &TXP_CheckBox::OnClick);
        QTest::keyClick(m_other, Qt::Key_S);  // a button does not take letters: the form offers it
        QCOMPARE(m_box->Checked(), taken);
        QCOMPARE(spy.count(), taken ? 1 : 0);
        QCOMPARE(m_box->hasFocus(), taken);
        QTest::keyClick(m_other, Qt::Key_S, Qt::ShiftModifier);  // "S" as well as "s"
        QCOMPARE(spy.count(), taken ? 2 : 0);
    }

    void altAcceleratorFromAnEditBox()
    {
        auto* edit = new QLineEdit(m_form.get());
        edit->move(10, 120);
        edit->show();
        m_box->SetCaption(QStringLiteral("&Sound"));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Q);
        QTest::keyClick(edit, Qt::Key_S);  // the edit box takes a plain letter
        QCOMPARE(edit->text(), QStringLiteral("qs"));
        QCOMPARE(m_box->Checked(), false);
        QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(m_box->Checked(), true);
        QCOMPARE(edit->text(), QStringLiteral("qs"));
    }

    void accessibility()
    {
        m_box->SetCaption(QStringLiteral("&Sound"));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(m_box);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::CheckBox);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Sound"));
        QVERIFY(iface->state().checkable);
        QVERIFY(!iface->state().checked);
        m_box->SetChecked(true);
        QVERIFY(iface->state().checked);

        QSignalSpy spy(m_box, &TXP_CheckBox::OnClick);
        QAccessibleActionInterface* actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(m_box->Checked(), false);
        QCOMPARE(spy.count(), 1);
    }
};

int runCheckBoxTests(int argc, char** argv)
{
    TestXPCheckBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xp_checkbox.moc"
