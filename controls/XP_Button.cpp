#include "controls/XP_Button.h"

#include "controls/FormKeys.h"
#include "controls/SkinText.h"

#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <utility>

TXP_Button::TXP_Button(QWidget* parent) : TCustomControl(parent)
{
    resize(75, 24);
}

void TXP_Button::SetDefault(bool value)
{
    m_default = value;
    if (window() != this)
        FormKeys::NotifyFocusedControlChanged(window());
}

void TXP_Button::Click()
{
    QPointer<QDialog> dialog = window() != this ? qobject_cast<QDialog*>(window()) : nullptr;
    if (dialog)
        dialog->setResult(m_modalResult);
    // Handlers show their own errors where they start: nothing is thrown through this emission.
    emit OnClick(this);
    // As a modal loop would, end the dialog after the handler, with whatever result it holds then.
    if (dialog && dialog->result() != 0 && dialog->isVisible() && dialog->isModal())
        dialog->done(dialog->result());
}

void TXP_Button::PaintSkin(QImage& skin, int look) const
{
    if (!isEnabled())
        look = blDisabled;
    else if (look != blPressed && look != blHot && HasFocus())
        look = blFocused;
    QImage frame;
    GetSkinFrame(LoadSkinStrip("XPBUTTON"), frame, 5, look, true);
    if (frame.isNull())
        skin.fill(ColorToRGB(Color()));  // the face covers everything; without a strip, a plain one
    DrawSkinStretched(frame, skin, {0, 0, skin.width(), skin.height()});
}

void TXP_Button::PaintDetail(QImage& canvas, int) const
{
    const int w = width(), h = height();
    QPainter painter(&canvas);
    TRect textRect{0, 0, w, h};
    if (m_picture.width() >= 1 && m_picture.height() >= 1) {
        const QFontMetrics metrics(font(), &canvas);
        const int pw = m_picture.width(), ph = m_picture.height();
        const int tw = metrics.horizontalAdvance(Caption()), th = metrics.height();
        int x = 0, y = 0;
        if (m_picPos == pTop) {
            x = (w - pw) / 2;
            y = (h - th - ph - m_picOffSet) / 2;
            textRect = {0, y + ph + m_picOffSet, w, y + ph + m_picOffSet + th};
        } else {
            x = (w - pw - tw - m_picOffSet) / 2;
            y = (h - ph) / 2;
            textRect = {x + pw + m_picOffSet, 0, x + pw + m_picOffSet + tw, h};
        }
        QImage picture = m_picture;
        if (!isEnabled()) {
            // a flat silhouette, keyed on its bottom-left pixel whatever PicTrans says
            picture = QImage(m_picture.size(), QImage::Format_ARGB32);
            picture.fill(Qt::transparent);
            DrawMonoGlyph(m_picture, picture, 0, 0, clBtnFace);
        } else if (m_picTrans) {
            picture = Transparent(m_picture, m_picTransColor);
        }
        painter.drawImage(x, y, picture);
    }
    painter.setFont(font());
    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(ColorToRGB(clGray)));
    SkinText::DrawText(painter, textRect, Caption(), true);
}

void TXP_Button::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    TCustomControl::mousePressEvent(event);
    m_clickStarted = true;
    const QPoint pos = event->position().toPoint();
    if (isEnabled() && PointInRect({0, 0, width(), height()}, pos.x(), pos.y())) {
        setFocus(Qt::MouseFocusReason);
        DrawState(blPressed);
    }
}

void TXP_Button::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (isEnabled() && PointInRect({0, 0, width(), height()}, pos.x(), pos.y()))
        DrawState(blNormal);
    const bool clicked = std::exchange(m_clickStarted, false);
    if (clicked && rect().contains(pos))
        Click();
}

bool TXP_Button::DialogKey(const QKeyEvent& key)
{
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool wanted = (enter && m_answersEnter) || (key.key() == Qt::Key_Escape && m_cancel);
    if (!wanted || (key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return false;
    // Could take the focus: inside a window, itself and every parent shown and enabled.
    if (window() == this || !isVisible() || !isEnabled())
        return false;
    Click();
    return true;
}

bool TXP_Button::DialogChar(QChar character)
{
    if (!AcceleratorTyped(character))
        return false;
    setFocus(Qt::ShortcutFocusReason);
    Click();
    return true;
}

void TXP_Button::FocusedControlChanged(QWidget* sender)
{
    if (qobject_cast<TXP_Button*>(sender))
        m_answersEnter = sender == this;
    else
        m_answersEnter = m_default;
    TCustomControl::FocusedControlChanged(sender);
}
