#include "controls/XP_RadioBox.h"

#include "controls/GlyphBox.h"
#include "controls/SkinnedAccessible.h"

#include <QMouseEvent>

TXP_RadioBox::TXP_RadioBox(QWidget* parent) : TCustomControl(parent)
{
    setGeometry(0, 0, 121, 17);
    SetColor(clWindowBackground);
}

void TXP_RadioBox::SetChecked(bool value)
{
    if (value == m_checked)
        return;
    m_checked = value;
    if (value && parentWidget()) {
        const QObjectList siblings = parentWidget()->children();
        for (QObject* sibling : siblings) {
            auto* other = qobject_cast<TXP_RadioBox*>(sibling);
            if (other && other != this && other->m_groupIndex == m_groupIndex)
                other->SetChecked(false);
        }
    }
    SkinnedAccessible::CheckedChanged(this);
    repaint();
}

QSize TXP_RadioBox::sizeHint() const
{
    return GlyphBox::SizeHint(*this);
}

void TXP_RadioBox::PaintSkin(QImage& skin, int frame) const
{
    QImage glyph;
    GetSkinFrame(LoadSkinStrip("XPRADIOBOX"), glyph, 6, GlyphBox::Frame(isEnabled(), m_checked, frame), true);
    // The magenta corners stay out so that Color shows there.
    GlyphBox::PaintGlyph(skin, Color(), Transparent(glyph, clFuchsia));
}

void TXP_RadioBox::PaintDetail(QImage& canvas, int) const
{
    GlyphBox::PaintCaption(canvas, *this);
}

void TXP_RadioBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    TCustomControl::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    SetChecked(true);
    repaint();
}

void TXP_RadioBox::mouseReleaseEvent(QMouseEvent* event)
{
    // Also after a press on a checked radio box, which changed nothing.
    if (event->button() == Qt::LeftButton)
        emit OnClick(this);
}

void TXP_RadioBox::Activate()
{
    // Repaints only when the state changes.
    SetChecked(true);
    emit OnClick(this);
}

bool TXP_RadioBox::DialogChar(QChar character)
{
    if (!AcceleratorTyped(character))
        return false;
    setFocus(Qt::ShortcutFocusReason);
    SetChecked(true);
    repaint();
    emit OnClick(this);
    return true;
}
