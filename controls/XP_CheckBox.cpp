#include "controls/XP_CheckBox.h"

#include "controls/FormKeys.h"
#include "controls/SkinText.h"
#include "controls/SkinnedAccessible.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace {

constexpr int kFrameCount = 6;

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TXP_CheckBox::TXP_CheckBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(0, 0, 121, 17);
    SetTabStop(true);
    SkinnedAccessible::Install();
    FormKeys::Attach(this);
}

TXP_CheckBox::~TXP_CheckBox() = default;

void TXP_CheckBox::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    SkinnedAccessible::CheckedChanged(this);
    repaint();
}

void TXP_CheckBox::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    FormKeys::SetAccelerator(this, caption);
    SkinnedAccessible::NameChanged(this);
    repaint();
}

void TXP_CheckBox::SetColor(TColor color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

bool TXP_CheckBox::TabStop() const
{
    return focusPolicy() != Qt::NoFocus;
}

void TXP_CheckBox::SetTabStop(bool tabStop)
{
    // The control takes the focus itself on a left press, so Qt's click focus stays off: a right
    // press must not move the focus.
    setFocusPolicy(tabStop ? Qt::TabFocus : Qt::NoFocus);
}

QSize TXP_CheckBox::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {13 + 4 + metrics.horizontalAdvance(SkinText::DisplayText(m_caption)), std::max(17, metrics.height())};
}

void TXP_CheckBox::DrawState(int frame)
{
    m_requestedFrame = frame;
    repaint();
    m_requestedFrame = 1;
}

QImage TXP_CheckBox::Compose(int frame) const
{
    const int w = width(), h = height();
    QImage canvas(w, h, QImage::Format_RGB32);
    canvas.fill(ColorToRGB(m_color));

    int n = frame;
    if (!isEnabled())
        n = m_checked ? 4 : 3;
    else if (m_checked)
        n = frame == 6 ? 6 : 2;
    else
        n = frame == 5 ? 5 : 1;

    QImage glyph;
    GetSkinFrame(LoadSkinStrip("XPCHECKBOX"), glyph, kFrameCount, n, true);

    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, (h - glyph.height()) / 2, glyph);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setFont(font());
    painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(ColorToRGB(clGray)));
    SkinText::DrawText(painter, {glyph.width() + 4, 0, w, h}, m_caption, false);
    painter.end();

    if (m_hasFocus && isEnabled()) {
        const QFontMetrics metrics(font(), &canvas);
        const int tw = metrics.horizontalAdvance(SkinText::StripAmpersands(m_caption));
        const int th = metrics.height();
        const int left = glyph.width() + 3, top = (h - th) / 2 - 1;
        SkinText::DrawFocusRect(canvas, {left, top, left + tw + 1, top + th + 1});
    }
    return canvas;
}

void TXP_CheckBox::paintEvent(QPaintEvent*)
{
    const int frame = std::exchange(m_requestedFrame, 1);
    if (width() < 1 || height() < 1)
        return;
    const QImage image = Compose(frame);
    QPainter(this).drawImage(0, 0, image);
}

void TXP_CheckBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pointerInside = true;
    setFocus(Qt::MouseFocusReason);
    SetChecked(!m_checked);
    repaint();
}

void TXP_CheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    // The press grabbed the mouse, so this comes wherever the pointer was let go.
    if (event->button() == Qt::LeftButton)
        emit OnClick(this);
}

void TXP_CheckBox::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click neither toggles nor takes the focus.
}

void TXP_CheckBox::mouseMoveEvent(QMouseEvent* event)
{
    // Qt holds back enter and leave while a button is down; the look follows the pointer anyway.
    if (event->buttons() == Qt::NoButton)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside == m_pointerInside)
        return;
    m_pointerInside = inside;
    if (inside)
        PointerEntered();
    else
        repaint();
}

void TXP_CheckBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!IsEnterKey(key) && key != Qt::Key_Space) {
        event->ignore();
        return;
    }
    if (IsEnterKey(key) && FormKeys::OfferDialogKey(this, event))
        return;
    event->accept();
    Toggle();
}

void TXP_CheckBox::Toggle()
{
    m_checked = !m_checked;
    SkinnedAccessible::CheckedChanged(this);
    repaint();
    emit OnClick(this);
}

void TXP_CheckBox::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_hasFocus = true;
    repaint();
}

void TXP_CheckBox::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_hasFocus = false;
    repaint();
}

void TXP_CheckBox::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    m_pointerInside = true;
    PointerEntered();
}

void TXP_CheckBox::PointerEntered()
{
    DrawState(m_checked ? 6 : 5);
}

void TXP_CheckBox::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_pointerInside = false;
    repaint();
}

void TXP_CheckBox::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        repaint();
}

bool TXP_CheckBox::DialogChar(QChar character)
{
    if (!SkinText::IsAccelerator(character, m_caption) || !isEnabled() || !isVisible())
        return false;
    setFocus(Qt::ShortcutFocusReason);
    SetChecked(!m_checked);
    repaint();
    emit OnClick(this);
    return true;
}

void TXP_CheckBox::FocusedControlChanged(QWidget*)
{
    repaint();
}
