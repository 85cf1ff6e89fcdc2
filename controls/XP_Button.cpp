#include "controls/XP_Button.h"

#include "controls/FormKeys.h"
#include "controls/SkinText.h"
#include "controls/SkinnedAccessible.h"

#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include <utility>

namespace {

constexpr int kFrameCount = 5;

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TXP_Button::TXP_Button(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(75, 24);
    SetTabStop(true);
    SkinnedAccessible::Install();
    FormKeys::Attach(this);
}

TXP_Button::~TXP_Button() = default;

void TXP_Button::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    FormKeys::SetAccelerator(this, caption);
    SkinnedAccessible::NameChanged(this);
    repaint();
}

bool TXP_Button::TabStop() const
{
    return focusPolicy() != Qt::NoFocus;
}

void TXP_Button::SetTabStop(bool tabStop)
{
    // The button takes the focus itself on a left press; Qt's click focus would also take it on a
    // right press.
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TXP_Button::SetPicture(const QImage& picture)
{
    m_picture = picture;
    repaint();
}

void TXP_Button::SetPicPos(TPicPos picPos)
{
    if (picPos == m_picPos)
        return;
    m_picPos = picPos;
    repaint();
}

void TXP_Button::SetPicTrans(bool picTrans)
{
    if (picTrans == m_picTrans)
        return;
    m_picTrans = picTrans;
    repaint();
}

void TXP_Button::SetPicTransColor(TColor color)
{
    if (color == m_picTransColor)
        return;
    m_picTransColor = color;
    repaint();
}

void TXP_Button::SetPicOffSet(int offset)
{
    if (offset == m_picOffSet)
        return;
    m_picOffSet = offset;
    repaint();
}

void TXP_Button::SetDefault(bool value)
{
    m_default = value;
    if (window() != this)
        FormKeys::NotifyFocusedControlChanged(window());
}

QSize TXP_Button::sizeHint() const
{
    return {75, 24};
}

void TXP_Button::Click()
{
    QPointer<QDialog> dialog = window() != this ? qobject_cast<QDialog*>(window()) : nullptr;
    if (dialog)
        dialog->setResult(m_modalResult);
    // As a modal loop would, end the dialog after the handler, with whatever result it holds then.
    const auto finish = [&dialog] {
        if (dialog && dialog->result() != 0 && dialog->isVisible() && dialog->isModal())
            dialog->done(dialog->result());
    };
    try {
        emit OnClick(this);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TXP_Button::DrawState(int look)
{
    m_requestedLook = look;
    repaint();
    m_requestedLook = blNormal;
}

void TXP_Button::DrawPicture(QImage& canvas, int x, int y) const
{
    if (!isEnabled()) {
        DrawMonoGlyph(m_picture, canvas, x, y, clBtnFace);
        return;
    }
    QImage picture = m_picture;
    if (m_picTrans) {
        picture = picture.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = ColorToRGB(m_picTransColor) & 0x00FFFFFFu;
        for (int row = 0; row < picture.height(); ++row) {
            auto* line = reinterpret_cast<QRgb*>(picture.scanLine(row));
            for (int col = 0; col < picture.width(); ++col) {
                if ((line[col] & 0x00FFFFFFu) == key)
                    line[col] = 0;
            }
        }
    }
    QPainter painter(&canvas);
    painter.drawImage(x, y, picture);
}

QImage TXP_Button::Compose(int look) const
{
    const int w = width(), h = height();
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(ColorToRGB(clBtnFace));

    if (!isEnabled())
        look = blDisabled;
    else if (look != blPressed && look != blHot && m_hasFocus)
        look = blFocused;
    QImage frame;
    GetSkinFrame(LoadSkinStrip("XPBUTTON"), frame, kFrameCount, look, true);
    DrawSkinStretched(frame, canvas, {0, 0, w, h});

    TRect textRect{0, 0, w, h};
    if (m_picture.width() >= 1 && m_picture.height() >= 1) {
        const QFontMetrics metrics(font(), &canvas);
        const int pw = m_picture.width(), ph = m_picture.height();
        const int tw = metrics.horizontalAdvance(m_caption), th = metrics.height();
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
        DrawPicture(canvas, x, y);
    }

    QPainter painter(&canvas);
    painter.setFont(font());
    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(ColorToRGB(clGray)));
    SkinText::DrawText(painter, textRect, m_caption, true);
    return canvas;
}

void TXP_Button::paintEvent(QPaintEvent*)
{
    const int look = std::exchange(m_requestedLook, blNormal);
    if (width() < 1 || height() < 1)
        return;
    const QImage image = Compose(look);
    QPainter(this).drawImage(0, 0, image);
}

void TXP_Button::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_clickStarted = true;
    m_pointerInside = true;
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

void TXP_Button::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click is no press: no pressed face and no click to follow.
}

void TXP_Button::mouseMoveEvent(QMouseEvent* event)
{
    // Qt holds back enter and leave while a button is down; the face follows the pointer anyway.
    if (event->buttons() == Qt::NoButton)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside == m_pointerInside)
        return;
    m_pointerInside = inside;
    if (inside)
        DrawState(blHot);
    else
        repaint();
}

void TXP_Button::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!IsEnterKey(key) && key != Qt::Key_Space) {
        event->ignore();
        return;
    }
    // Enter is the form's first: it may belong to this button or another one.
    if (IsEnterKey(key) && FormKeys::OfferDialogKey(this, event))
        return;
    event->accept();
    Click();
}

void TXP_Button::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    repaint();
}

void TXP_Button::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    repaint();
}

void TXP_Button::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    m_pointerInside = true;
    DrawState(blHot);
}

void TXP_Button::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_pointerInside = false;
    repaint();
}

void TXP_Button::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        DrawState(blNormal);
    else if (event->type() == QEvent::FontChange)
        repaint();
}

bool TXP_Button::DialogKey(const QKeyEvent& key)
{
    const bool wanted = (IsEnterKey(key.key()) && m_answersEnter) || (key.key() == Qt::Key_Escape && m_cancel);
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
    if (!SkinText::IsAccelerator(character, m_caption) || !isEnabled() || !isVisible())
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
    repaint();
}
