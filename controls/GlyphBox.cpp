#include "controls/GlyphBox.h"

#include "controls/SkinText.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
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
