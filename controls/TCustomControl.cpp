#include "controls/TCustomControl.h"

#include "controls/FormKeys.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

TCustomControl::TCustomControl(QWidget* parent) : TControl(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    SetTabStop(true);
}

bool TCustomControl::TabStop() const
{
    return focusPolicy() != Qt::NoFocus;
}

void TCustomControl::SetTabStop(bool tabStop)
{
    // The controls take the focus themselves on a left press; Qt's click focus would also take it
    // on a right press.
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

void TCustomControl::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TCustomControl::DrawState(int look)
{
    m_requestedLook = look;
    repaint();
    m_requestedLook = 1;
}

void TCustomControl::FocusedControlChanged(QWidget*)
{
    repaint();
}

void TCustomControl::paintEvent(QPaintEvent*)
{
    const int look = std::exchange(m_requestedLook, 1);
    if (width() < 1 || height() < 1)
        return;
    QImage skin(width(), height(), QImage::Format_RGB32);
    PaintSkin(skin, look);
    const qreal ratio = devicePixelRatioF();
    QImage canvas;
    if (ratio == 1) {
        canvas = std::move(skin);
    } else {
        // The device pixels the window gives the control; at fractional ratios they depend on where
        // it sits, and an image a pixel too wide would lose the last column of its rim.
        const QRect at(mapTo(window(), QPoint(0, 0)), size());
        const auto device = [ratio](int from, int to) { return qRound(to * ratio) - qRound(from * ratio); };
        canvas = EnlargeSkin(skin, ratio, {device(at.left(), at.right() + 1), device(at.top(), at.bottom() + 1)});
    }
    PaintDetail(canvas, look);
    QPainter(this).drawImage(0, 0, canvas);
}

void TCustomControl::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter && key != Qt::Key_Space) {
        event->ignore();
        return;
    }
    if (enter && FormKeys::OfferDialogKey(this, event))
        return;
    event->accept();
    Activate();
}

void TCustomControl::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    FocusGained();
}

void TCustomControl::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    FocusLost();
}

void TCustomControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        SetPointerInside(true);
}

void TCustomControl::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside == PointerInside())
        return;
    SetPointerInside(inside);
    if (inside)
        MouseEnter();
    else
        MouseLeave();
}
