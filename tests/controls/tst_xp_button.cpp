#include "ControlTestSupport.h"
#include "SkinnedControlTests.h"

#include "controls/XP_Button.h"

#include <QAccessible>
#include <QDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace ControlTest;

namespace {

QImage Face(int look, int w = 75, int h = 24)
{
    return Stretched(Frame("XPBUTTON", 5, look), w, h);
}

} // namespace

class TestXPButton final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Form> m_form;
    TXP_Button* m_button = nullptr;
    TXP_Button* m_other = nullptr;
    QLineEdit* m_edit = nullptr;

private slots:
    void init()
    {
        m_form = std::make_unique<Form>();
        m_edit = new QLineEdit(m_form.get());
        m_edit->move(10, 100);
        m_button = new TXP_Button(m_form.get());
        m_button->move(10, 10);
        m_other = new TXP_Button(m_form.get());
        m_other->move(200, 10);
        QVERIFY(m_form->ShowActive());
        m_edit->setFocus();
    }
    void cleanup() { m_form.reset(); }

    void constructionValues()
    {
        TXP_Button button;
        QCOMPARE(button.size(), QSize(75, 24));
        QCOMPARE(button.property("TabStop").toBool(), true);
        QCOMPARE(button.property("PicPos").toInt(), int(TXP_Button::pTop));
        QCOMPARE(button.property("PicOffSet").toInt(), 2);
        QCOMPARE(button.property("PicTrans").toBool(), false);
        QCOMPARE(button.property("PicTransColor").toUInt(), clBlack);
        QCOMPARE(button.property("ModalResult").toInt(), 0);
        QCOMPARE(button.property("Default").toBool(), false);
        QCOMPARE(button.property("Cancel").toBool(), false);
        QVERIFY(button.property("Picture").value<QImage>().isNull());
        QVERIFY(!button.AnswersEnter());
        QVERIFY(!button.HasFocus());
    }

    void facesFollowState()
    {
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blNormal)), QString());
        m_button->setFocus();
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blFocused)), QString());
        SendEnter(m_button);  // hot wins over focused, once
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blHot)), QString());
        m_button->repaint();
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blFocused)), QString());

        MouseAt(m_button, Mouse::Press, QPoint(30, 12));
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blPressed)), QString());
        MouseAt(m_button, Mouse::Move, QPoint(300, 200));  // dragged off: resting face
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blFocused)), QString());
        MouseAt(m_button, Mouse::Move, QPoint(30, 12));  // back on: hot
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blHot)), QString());
        MouseAt(m_button, Mouse::Release, QPoint(30, 12));
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blFocused)), QString());

        m_edit->setFocus();
        SendLeave(m_button);
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blNormal)), QString());
        m_button->setEnabled(false);
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blDisabled)), QString());
        SendEnter(m_button);
        QCOMPARE(Differs(Shot(m_button), 0, 0, Face(TXP_Button::blDisabled)), QString());
    }

    void searchButtonKeepsTheRim()
    {
        m_button->setGeometry(10, 10, 161, 32);
        m_button->SetCaption(QStringLiteral("一 搜 到 底"));
        const QImage shot = Shot(m_button);
        const QImage frame = Frame("XPBUTTON", 5, TXP_Button::blNormal);
        const QFontMetrics metrics(m_button->font());
        const int tw = metrics.horizontalAdvance(m_button->Caption()), th = metrics.height();
        const QRect text((161 - tw) / 2, (32 - th) / 2, tw, th);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 161; ++x) {
                if (text.contains(x, y))
                    continue;
                const int fx = x <= 8 ? x : x >= 152 ? x - 143 : 9;
                const int fy = y <= 9 ? y : y >= 21 ? y - 11 : 10;
                if (shot.pixel(x, y) != frame.pixel(fx, fy))
                    QFAIL(qPrintable(QStringLiteral("pixel (%1,%2)").arg(x).arg(y)));
            }
        }
        QVERIFY(CountColour(shot, text, qRgb(0, 0, 0)) > 20);
    }

    void disabledCaptionAndPicture()
    {
        QImage picture(16, 16, QImage::Format_RGB32);
        picture.fill(qRgb(0, 0, 255));  // the bottom-left colour is the key
        picture.setPixel(5, 5, qRgb(255, 0, 0));
        picture.setPixel(6, 5, qRgb(0, 255, 0));
        m_button->setGeometry(10, 10, 75, 40);
        m_button->SetCaption(QStringLiteral("确定"));
        m_button->SetPicture(picture);
        m_button->setEnabled(false);
        const QImage shot = Shot(m_button);
        const QFontMetrics metrics(m_button->font());
        const int y = (40 - metrics.height() - 16 - 2) / 2, x = (75 - 16) / 2;
        const QRgb face = ColorToRGB(clBtnFace);
        QCOMPARE(shot.pixel(x + 5, y + 5), face);
        QCOMPARE(shot.pixel(x + 6, y + 5), face);
        QCOMPARE(shot.pixel(x + 7, y + 5), Face(TXP_Button::blDisabled, 75, 40).pixel(x + 7, y + 5));
        const QRect text(0, y + 18, 75, metrics.height());
        QVERIFY(CountColour(shot, text, 0x808080) > 10);
        QCOMPARE(CountColour(shot, text, qRgb(0, 0, 0)), 0);
    }

    void picturePlacement_data()
    {
        QTest::addColumn<int>("picPos");
        QTest::addColumn<QPoint>("at");
        // 16 x 16 above a 12-pixel caption with offset 2 on 75 x 24: y = (24 - 12 - 16 - 2) / 2 = -3.
        QTest::newRow("top") << int(TXP_Button::pTop) << QPoint(29, -3);
        QTest::newRow("left") << int(TXP_Button::pLeft) << QPoint(-1, 4);
    }
    void picturePlacement()
    {
        QFETCH(int, picPos);
        QFETCH(QPoint, at);
        QImage picture(16, 16, QImage::Format_RGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                picture.setPixel(x, y, qRgb(200, 10 * x, 10 * y));
        picture.setPixel(0, 15, qRgb(1, 2, 3));
        m_button->SetCaption(picPos == TXP_Button::pLeft ? QStringLiteral("一二三四五") : QStringLiteral("确定"));
        m_button->SetPicPos(TXP_Button::TPicPos(picPos));
        m_button->SetPicture(picture);
        if (picPos == TXP_Button::pLeft) {  // x = (75 - 16 - 60 - 2) / 2
            QCOMPARE(QFontMetrics(m_button->font()).horizontalAdvance(m_button->Caption()), 60);
        }
        const QImage shot = Shot(m_button);
        QCOMPARE(Differs(shot, at.x(), at.y(), picture), QString());
        // drawn at its own size: the column just right of it shows the face (the gap before the caption)
        for (int y = std::max(at.y(), 0); y < at.y() + 16; ++y)
            QCOMPARE(shot.pixel(at.x() + 16, y), Face(TXP_Button::blNormal).pixel(at.x() + 16, y));

        m_button->SetPicTrans(true);
        m_button->SetPicTransColor(RGBToColor(picture.pixel(3, 4)));
        const QImage clear = Shot(m_button);
        QCOMPARE(clear.pixel(at.x() + 3, at.y() + 4), Face(TXP_Button::blNormal).pixel(at.x() + 3, at.y() + 4));
        QCOMPARE(clear.pixel(at.x() + 4, at.y() + 4), picture.pixel(4, 4));
    }

    void clickCounts_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("clicks");
        QTest::newRow("click") << "click" << 1;
        QTest::newRow("press, drag off, release") << "drag" << 0;
        QTest::newRow("press, drag off and back, release") << "back" << 1;
        QTest::newRow("double click") << "double" << 1;
        QTest::newRow("release on the column right of it") << "edge" << 0;
        QTest::newRow("right button") << "right" << 0;
        QTest::newRow("enter held, three repeats") << "enter" << 3;
        QTest::newRow("space held, two repeats") << "space" << 2;
    }
    void clickCounts()
    {
        QFETCH(QString, gesture);
        QFETCH(int, clicks);
        QSignalSpy spy(m_button, &TXP_Button::OnClick);
        const QPoint inside(30, 12);
        if (gesture == "click") {
            MouseAt(m_button, Mouse::Click, inside);
        } else if (gesture == "drag" || gesture == "back") {
            MouseAt(m_button, Mouse::Press, inside);
            MouseAt(m_button, Mouse::Move, QPoint(200, 100));
            const QPoint end = gesture == "back" ? inside : QPoint(200, 100);
            MouseAt(m_button, Mouse::Move, end);
            MouseAt(m_button, Mouse::Release, end);
        } else if (gesture == "double") {
            MouseAt(m_button, Mouse::DoubleClick, inside);
        } else if (gesture == "edge") {
            MouseAt(m_button, Mouse::Press, inside);
            MouseAt(m_button, Mouse::Move, QPoint(75, 12));
            MouseAt(m_button, Mouse::Release, QPoint(75, 12));
        } else if (gesture == "right") {
            MouseAt(m_button, Mouse::Click, inside, Qt::RightButton);
            QVERIFY(!m_button->hasFocus());
        } else {
            m_button->setFocus();
            const Qt::Key key = gesture == "enter" ? Qt::Key_Return : Qt::Key_Space;
            const QString text = gesture == "enter" ? QStringLiteral("\r") : QStringLiteral(" ");
            SendKey(m_button, key, text, false);
            for (int i = 1; i < clicks; ++i)
                SendKey(m_button, key, text, true);
        }
        QCOMPARE(spy.count(), clicks);
        if (clicks > 0)
            QCOMPARE(spy.at(0).at(0).value<QObject*>(), m_button);
    }

    void faceIsUpBeforeOnClick()
    {
        QImage during;
        connect(m_button, &TXP_Button::OnClick, this, [&] { during = Shot(m_button); });
        MouseAt(m_button, Mouse::Click, QPoint(30, 12));
        QCOMPARE(Differs(during, 0, 0, Face(TXP_Button::blFocused)), QString());
    }

    void defaultAndCancel_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("defaultClicks");
        QTest::addColumn<int>("otherClicks");
        QTest::newRow("enter in the edit box") << "edit" << int(Qt::Key_Return) << 0 << 1 << 0;
        QTest::newRow("keypad enter in the edit box") << "edit" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1 << 0;
        QTest::newRow("shift+enter") << "edit" << int(Qt::Key_Return) << int(Qt::ShiftModifier) << 0 << 0;
        QTest::newRow("enter on the other button") << "other" << int(Qt::Key_Return) << 0 << 0 << 1;
        QTest::newRow("escape in the edit box") << "edit" << int(Qt::Key_Escape) << 0 << 0 << 1;
        QTest::newRow("escape on the default button") << "default" << int(Qt::Key_Escape) << 0 << 0 << 1;
        QTest::newRow("ctrl+escape") << "edit" << int(Qt::Key_Escape) << int(Qt::ControlModifier) << 0 << 0;
    }
    void defaultAndCancel()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, defaultClicks);
        QFETCH(int, otherClicks);
        m_button->SetDefault(true);
        m_other->SetCancel(true);
        QVERIFY(m_button->AnswersEnter());  // at once, through the form
        QVERIFY(!m_other->AnswersEnter());
        QWidget* target = focus == "edit" ? static_cast<QWidget*>(m_edit) : focus == "other" ? m_other : m_button;
        target->setFocus();
        QSignalSpy defaultSpy(m_button, &TXP_Button::OnClick), otherSpy(m_other, &TXP_Button::OnClick);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(defaultSpy.count(), defaultClicks);
        QCOMPARE(otherSpy.count(), otherClicks);
    }

    void answersEnterFollowsTheFocus()
    {
        m_button->SetDefault(true);
        m_other->setFocus();
        QVERIFY(!m_button->AnswersEnter());
        QVERIFY(m_other->AnswersEnter());
        m_edit->setFocus();
        QVERIFY(m_button->AnswersEnter());
        QVERIFY(!m_other->AnswersEnter());
        m_button->SetDefault(false);
        QVERIFY(!m_button->AnswersEnter());
    }

    void buttonMovedIntoAForm()
    {
        auto* late = new TXP_Button;
        late->SetCancel(true);
        late->setParent(m_form.get());
        late->show();
        QSignalSpy spy(late, &TXP_Button::OnClick);
        QTest::keyClick(m_edit, Qt::Key_Escape);
        QCOMPARE(spy.count(), 1);
    }

    void accelerator_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("clicks");
        QTest::newRow("S") << QStringLiteral("&Save") << true << 2;
        QTest::newRow("doubled only") << QStringLiteral("Save && Sell") << true << 0;
        QTest::newRow("disabled") << QStringLiteral("&Save") << false << 0;
    }
    void accelerator()
    {
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        QFETCH(int, clicks);
        m_button->SetCaption(caption);
        m_button->setEnabled(enabled);
        m_other->setFocus();
        QSignalSpy spy(m_button, &TXP_Button::OnClick);
        QTest::keyClick(m_other, Qt::Key_S);
        QCOMPARE(m_button->hasFocus(), clicks > 0);
        QTest::keyClick(m_edit, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(spy.count(), clicks);
    }

    void clickEndsAModalDialog()
    {
        QDialog dialog;
        auto* ok = new TXP_Button(&dialog);
        ok->SetModalResult(1);
        bool visibleInHandler = false;
        connect(ok, &TXP_Button::OnClick, this, [&] { visibleInHandler = dialog.isVisible(); });
        QTimer::singleShot(0, ok, &TXP_Button::Click);
        QCOMPARE(dialog.exec(), 1);
        QVERIFY(visibleInHandler);
    }

    void zeroResultLeavesTheDialogOpen()
    {
        QDialog dialog;
        auto* save = new TXP_Button(&dialog);
        auto* cancel = new TXP_Button(&dialog);
        cancel->SetCancel(true);
        cancel->SetModalResult(2);
        int stillOpen = -1;
        QTimer::singleShot(0, save, [&] {
            save->Click();
            stillOpen = dialog.isVisible();
            QTest::keyClick(save, Qt::Key_Escape);  // the cancel button's, not the dialog's own reject
        });
        QCOMPARE(dialog.exec(), 2);
        QCOMPARE(stillOpen, 1);
    }

    void clickWithoutADialog()
    {
        TXP_Button lonely;
        lonely.SetModalResult(1);
        QSignalSpy spy(&lonely, &TXP_Button::OnClick);
        lonely.Click();
        QCOMPARE(spy.count(), 1);
    }

    void accessibility()
    {
        m_button->SetCaption(QStringLiteral("&Save"));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(m_button);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Button);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Save"));
        QSignalSpy spy(m_button, &TXP_Button::OnClick);
        QVERIFY(iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(spy.count(), 1);
    }
};

int runButtonTests(int argc, char** argv)
{
    TestXPButton test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xp_button.moc"
