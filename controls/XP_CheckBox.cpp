#include "controls/XP_CheckBox.h"

#include "controls/SkinText.h"
#include "controls/SkinnedAccessible.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cstring>

namespace {

constexpr int kGlyphSize = 13;  // the frames of both glyph strips

} // namespace

namespace GlyphBox {

int Frame(bool enabled, bool checked, int requested)
{
    if (!enabled)
        return checked ? 4 : 3;
    if (checked)
        return requested == 6 ? 6 : 2;
    return requested == 5 ? 5 : 1;
}

void PaintGlyph(QImage& skin, TColor color, const QImage& glyph)
{
    skin.fill(ColorToRGB(color));
    // Copied by hand: cheaper than a painter for these few pixels, and paints come often.
    const int top = (skin.height() - glyph.height()) / 2;
    const int rows = std::min(glyph.height(), skin.height() - top), columns = std::min(glyph.width(), skin.width());
    const bool opaque = !glyph.hasAlphaChannel();
    const qsizetype inStride = glyph.bytesPerLine(), outStride = skin.bytesPerLine();
    const uchar* inBits = glyph.constBits();
    uchar* outBits = skin.bits();
    for (int y = std::max(0, -top); y < rows; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(inBits + y * inStride);
        auto* out = reinterpret_cast<QRgb*>(outBits + (top + y) * outStride);
        if (opaque) {
            std::memcpy(out, in, sizeof(QRgb) * size_t(columns));
            continue;
        }
        for (int x = 0; x < columns; ++x) {
            if (qAlpha(in[x]) != 0)
                out[x] = in[x];
        }
    }
}

void PaintCaption(QImage& canvas, const TCustomControl& box)
{
    QPainter painter(&canvas);
    painter.setFont(box.font());
    painter.setPen(box.isEnabled() ? box.palette().color(QPalette::WindowText) : QColor(ColorToRGB(clGray)));
    SkinText::DrawText(painter, {kGlyphSize + 4, 0, box.width(), box.height()}, box.Caption(), false);
    painter.end();
    if (box.HasFocus() && box.isEnabled()) {
        const QFontMetrics metrics(box.font(), &canvas);
        const int tw = metrics.horizontalAdvance(SkinText::StripAmpersands(box.Caption()));
        const int th = metrics.height();
        const int left = kGlyphSize + 3, top = (box.height() - th) / 2 - 1;
        SkinText::DrawFocusRect(canvas, {left, top, left + tw + 1, top + th + 1});
    }
}

QSize SizeHint(const TCustomControl& box)
{
    const QFontMetrics metrics(box.font());
    return {kGlyphSize + 4 + metrics.horizontalAdvance(SkinText::DisplayText(box.Caption())),
            std::max(17, metrics.height())};
}

} // namespace GlyphBox

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
