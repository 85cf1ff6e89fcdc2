#include "controls/XP_CheckBox.h"

#include "controls/GlyphBox.h"
#include "controls/SkinnedAccessible.h"

#include <QMouseEvent>

TXP_CheckBox::TXP_CheckBox(QWidget* parent) : TCustomControl(parent)
{
    setGeometry(0, 0, 121, 17);
    SetColor(clWindowBackground);
}

void TXP_CheckBox::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    SkinnedAccessible::CheckedChanged(this);
    repaint();
}

QSize TXP_CheckBox::sizeHint() const
{
    return GlyphBox::SizeHint(*this);
}

void TXP_CheckBox::PaintSkin(QImage& skin, int frame) const
{
    QImage glyph;
    GetSkinFrame(LoadSkinStrip("XPCHECKBOX"), glyph, 6, GlyphBox::Frame(isEnabled(), m_checked, frame), true);
    GlyphBox::PaintGlyph(skin, Color(), glyph);
}

void TXP_CheckBox::PaintDetail(QImage& canvas, int) const
{
    GlyphBox::PaintCaption(canvas, *this);
}

void TXP_CheckBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    TCustomControl::mousePressEvent(event);
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

void TXP_CheckBox::Activate()
{
    SetChecked(!m_checked);
    emit OnClick(this);
}

bool TXP_CheckBox::DialogChar(QChar character)
{
    if (!AcceleratorTyped(character))
        return false;
    setFocus(Qt::ShortcutFocusReason);
    SetChecked(!m_checked);
    repaint();
    emit OnClick(this);
    return true;
}
