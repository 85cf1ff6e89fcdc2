#include "controls/XP_Unit.h"

#include "controls/ScreenCursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QHash>
#include <QString>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

// Resources compiled into a static library are dropped by the linker unless referenced.
static void EnsureSkinResources()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(skins);
        return true;
    }();
    Q_UNUSED(initialised);
}

namespace {

// Luna (XP) defaults, indexed by the platform's system-colour number.
constexpr std::array<QRgb, 31> kXpSystemColors = {
    0xFFD4D0C8, 0xFF004E98, 0xFF0054E3, 0xFF7A96DF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000, 0xFF000000,
    0xFF000000, 0xFFFFFFFF, 0xFFD4D0C8, 0xFFD4D0C8, 0xFF808080, 0xFF316AC5, 0xFFFFFFFF, 0xFFECE9D8,
    0xFFACA899, 0xFFACA899, 0xFF000000, 0xFFD8E4F8, 0xFFFFFFFF, 0xFF716F64, 0xFFF1EFE2, 0xFF000000,
    0xFFFFFFE1, 0xFFB5B5B5, 0xFF000080, 0xFF3D95FF, 0xFF9DB9EB, 0xFF316AC5, 0xFFECE9D8,
};

bool PaletteColor(int index, QRgb& rgb)
{
    if (!qGuiApp)
        return false;
    const QPalette palette = QGuiApplication::palette();
    QPalette::ColorGroup group = QPalette::Active;
    QPalette::ColorRole role;
    switch (index) {
    case 4: role = QPalette::Window; break;            // menu
    case 5: role = QPalette::Base; break;              // window
    case 7: role = QPalette::WindowText; break;        // menu text
    case 8: role = QPalette::Text; break;              // window text
    case 13: role = QPalette::Highlight; break;
    case 14: role = QPalette::HighlightedText; break;
    case 15: role = QPalette::Button; break;           // button face
    case 16: role = QPalette::Dark; break;             // button shadow
    case 17: role = QPalette::Text; group = QPalette::Disabled; break;  // grey text
    case 18: role = QPalette::ButtonText; break;
    case 20: role = QPalette::Light; break;            // button highlight
    case 21: role = QPalette::Shadow; break;           // 3D dark shadow
    case 22: role = QPalette::Midlight; break;         // 3D light
    case 23: role = QPalette::ToolTipText; break;
    case 24: role = QPalette::ToolTipBase; break;
    case 26: role = QPalette::Link; break;             // hot-tracked item
    default: return false;
    }
    rgb = palette.color(group, role).rgb();
    return true;
}

bool IsIndexed(const QImage& image)
{
    return image.colorCount() > 0;
}

int NearestIndex(const QImage& image, QRgb rgb)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < image.colorCount(); ++i) {
        const QRgb entry = image.color(i);
        const int dr = qRed(entry) - qRed(rgb), dg = qGreen(entry) - qGreen(rgb), db = qBlue(entry) - qBlue(rgb);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

// What a pixel of this format actually stores when rgb is written to it.
QRgb NearestColor(const QImage& canvas, QRgb rgb)
{
    if (IsIndexed(canvas))
        return canvas.color(NearestIndex(canvas, rgb));
    switch (canvas.format()) {
    case QImage::Format_Invalid:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied:
        return rgb | 0xFF000000u;
    default: {
        QImage probe(1, 1, canvas.format());
        probe.setPixel(0, 0, rgb | 0xFF000000u);
        return probe.pixel(0, 0);
    }
    }
}

void WritePixel(QImage& image, int x, int y, QRgb rgb)
{
    if (IsIndexed(image))
        image.setPixel(x, y, uint(NearestIndex(image, rgb)));
    else
        image.setPixel(x, y, rgb);
}

QImage::Format WorkFormat(const QImage& image)
{
    return image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

// Nearest-neighbour copy of src's (sx, sy, sw, sh) onto dst's (dx, dy, dw, dh); both images are in
// one 32-bit work format. The mapping is taken over the whole destination block and then clipped,
// as a stretching block transfer does when the block hangs over an edge.
void StretchCopy(const QImage& src, int sx, int sy, int sw, int sh, QImage& dst, int dx, int dy, int dw, int dh)
{
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    const int srcWidth = src.width(), srcHeight = src.height();
    const int rowFirst = std::max(0, -dy), rowEnd = std::min(dh, dst.height() - dy);
    const int colFirst = std::max(0, -dx), colEnd = std::min(dw, dst.width() - dx);
    if (rowFirst >= rowEnd || colFirst >= colEnd)
        return;

    // The source column of each destination column, worked out once for all rows; -1 outside.
    QVarLengthArray<int, 512> columns(colEnd - colFirst);
    bool straight = true;   // one unbroken 1:1 run, copied row by row in one move
    for (int col = colFirst; col < colEnd; ++col) {
        const int srcX = sx + int(qint64(col) * sw / dw);
        const bool inside = srcX >= 0 && srcX < srcWidth;
        columns[col - colFirst] = inside ? srcX : -1;
        straight = straight && inside && srcX == columns[0] + (col - colFirst);
    }

    const uchar* srcBits = src.constBits();
    const qsizetype srcStride = src.bytesPerLine();
    uchar* dstBits = dst.bits();
    const qsizetype dstStride = dst.bytesPerLine();
    for (int row = rowFirst; row < rowEnd; ++row) {
        const int srcY = sy + int(qint64(row) * sh / dh);
        if (srcY < 0 || srcY >= srcHeight)
            continue;
        const auto* in = reinterpret_cast<const QRgb*>(srcBits + srcY * srcStride);
        auto* out = reinterpret_cast<QRgb*>(dstBits + (dy + row) * dstStride) + dx + colFirst;
        if (straight) {
            std::memcpy(out, in + columns[0], sizeof(QRgb) * size_t(colEnd - colFirst));
            continue;
        }
        for (int i = 0; i < colEnd - colFirst; ++i) {
            if (columns[i] >= 0)
                out[i] = in[columns[i]];
        }
    }
}

void PlainCopy(const QImage& src, int sx, int sy, int w, int h, QImage& dst, int dx, int dy)
{
    StretchCopy(src, sx, sy, w, h, dst, dx, dy, w, h);
}

} // namespace

QRgb ColorToRGB(TColor color)
{
    if ((color & 0xFF000000u) == 0x80000000u) {
        const int index = int(color & 0xFFu);
        QRgb rgb = 0;
        if (PaletteColor(index, rgb))
            return rgb | 0xFF000000u;
        if (index < int(kXpSystemColors.size()))
            return kXpSystemColors[size_t(index)];
        return 0xFF000000u;
    }
    return qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor RGBToColor(QRgb rgb)
{
    return TColor(qRed(rgb)) | (TColor(qGreen(rgb)) << 8) | (TColor(qBlue(rgb)) << 16);
}

bool PointInRect(TRect rect, int X, int Y)
{
    return rect.Left <= X && X <= rect.Right && rect.Top <= Y && Y <= rect.Bottom;
}

TColor GrayColor(const QImage& canvas, TColor color, int offset)
{
    const QRgb rgb = ColorToRGB(color);
    const int avg = (qRed(rgb) + qGreen(rgb) + qBlue(rgb)) / 3;
    const int add = std::min(offset, 100);
    const int level = std::min(avg + add, 240) & 0xFF;
    return RGBToColor(NearestColor(canvas, qRgb(level, level, level)));
}

void GrayBitmap(QImage& bitmap, int offset)
{
    if (bitmap.isNull())
        return;
    bool cached = false;
    QRgb lastSource = 0;
    QRgb lastResult = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb source = bitmap.pixel(x, y);
            if (!cached || source != lastSource) {
                const QRgb grey = ColorToRGB(GrayColor(bitmap, RGBToColor(source), offset));
                lastSource = source;
                lastResult = qRgba(qRed(grey), qGreen(grey), qBlue(grey), qAlpha(source));
                cached = true;
            }
            if (bitmap.hasAlphaChannel() && qAlpha(lastResult) != 255)
                bitmap.setPixelColor(x, y, QColor::fromRgba(lastResult));
            else
                WritePixel(bitmap, x, y, lastResult);
        }
    }
}

void DrawMonoGlyph(const QImage& glyph, QImage& canvas, int X, int Y, TColor color)
{
    if (glyph.isNull() || canvas.isNull())
        return;
    const QRgb key = glyph.pixel(0, glyph.height() - 1);
    const QRgb ink = ColorToRGB(color);
    for (int y = 0; y < glyph.height(); ++y) {
        for (int x = 0; x < glyph.width(); ++x) {
            const QRgb pixel = glyph.pixel(x, y);
            // a fully transparent pixel shows nothing, whatever colour it nominally holds
            if (pixel != key && qAlpha(pixel) != 0 && canvas.valid(X + x, Y + y))
                WritePixel(canvas, X + x, Y + y, ink);
        }
    }
}

void GetSkinFrame(const QImage& strip, QImage& frame, int count, int index, bool horizontal)
{
    if (count < 1) {
        frame = QImage();
        return;
    }
    const int w = horizontal ? strip.width() / count : strip.width();
    const int h = horizontal ? strip.height() : strip.height() / count;
    const int left = horizontal ? w * (index - 1) : 0;
    const int top = horizontal ? 0 : h * (index - 1);
    // Within the strip, cut first and convert only the frame; a frame reaching outside gets the
    // work format's zero there, as a cut from the converted strip would.
    if (QRect(0, 0, strip.width(), strip.height()).contains(QRect(left, top, w, h)))
        frame = strip.copy(left, top, w, h).convertToFormat(WorkFormat(strip));
    else
        frame = strip.convertToFormat(WorkFormat(strip)).copy(left, top, w, h);
}

void DrawSkinStretched(const QImage& skin, QImage& canvas, TRect rect)
{
    const int sw = skin.width(), sh = skin.height();
    const int dw = rect.Right - rect.Left, dh = rect.Bottom - rect.Top;
    if (skin.isNull() || canvas.isNull() || dw <= 0 || dh <= 0)
        return;
    const int hw = sw / 2, hh = sh / 2;
    const QImage::Format format = WorkFormat(skin);
    const QImage s = skin.convertToFormat(format);

    QImage r(dw, sh, format);
    r.fill(0);
    PlainCopy(s, 0, 0, sw, sh, r, dw - sw, 0);
    StretchCopy(s, hw, 0, 1, sh, r, 0, 0, dw - hw, sh);
    PlainCopy(s, 0, 0, hw, sh, r, 0, 0);

    QImage d(dw, dh, format);
    d.fill(0);
    PlainCopy(r, 0, 0, dw, hh, d, 0, 0);
    StretchCopy(r, 0, hh, dw, sh - hh, d, 0, dh - hh - 1, dw, hh + 1);
    StretchCopy(r, 0, hh, dw, 1, d, 0, hh, dw, dh - 2 * hh - 1);

    if (canvas.format() == QImage::Format_RGB32 && format == QImage::Format_RGB32) {
        // What the raster engine's source copy does between these formats, without a painter.
        PlainCopy(d, 0, 0, dw, dh, canvas, rect.Left, rect.Top);
        return;
    }
    if (!IsIndexed(canvas)) {
        QPainter painter(&canvas);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(rect.Left, rect.Top, d);
        return;
    }
    for (int y = 0; y < dh; ++y)
        for (int x = 0; x < dw; ++x)
            if (canvas.valid(rect.Left + x, rect.Top + y))
                WritePixel(canvas, rect.Left + x, rect.Top + y, d.pixel(x, y));
}

QImage Transparent(const QImage& bitmap, TColor color)
{
    QImage result = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorToRGB(color) & 0x00FFFFFFu;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key)
                line[x] = 0;
        }
    }
    return result;
}

QImage EnlargeSkin(const QImage& skin, qreal ratio, QSize size)
{
    const int w = skin.width(), h = skin.height();
    const int dw = size.width(), dh = size.height();
    const auto source = [ratio](int at, int deviceSize, int size) {
        if (2 * at < deviceSize)
            return std::min(int(at / ratio), size - 1);
        return std::max(size - 1 - int((deviceSize - 1 - at) / ratio), 0);
    };
    QVarLengthArray<int, 512> columns(dw);
    for (int x = 0; x < dw; ++x)
        columns[x] = source(x, dw, w);
    QImage result(dw, dh, skin.format());
    const qsizetype stride = result.bytesPerLine();
    uchar* bits = result.bits();
    for (int y = 0, last = -1; y < dh; ++y) {
        const int row = source(y, dh, h);
        uchar* out = bits + y * stride;
        if (row == last) {
            std::memcpy(out, out - stride, size_t(stride));  // a repeated row
            continue;
        }
        const auto* in = reinterpret_cast<const QRgb*>(skin.constScanLine(row));
        for (int x = 0; x < dw; ++x)
            reinterpret_cast<QRgb*>(out)[x] = in[columns[x]];
        last = row;
    }
    result.setDevicePixelRatio(ratio);
    return result;
}

QImage LoadSkinStrip(const char* name)
{
    // Every paint asks for its strip; decoding the compressed resource each time cost more than the
    // rest of a check box's paint. Callers get an implicitly shared copy: writing to it detaches,
    // so the kept strip never changes.
    static QHash<QByteArray, QImage> decoded;
    const QByteArray key(name);
    if (const auto found = decoded.constFind(key); found != decoded.cend())
        return found.value();
    EnsureSkinResources();
    const QImage strip(QStringLiteral(":/skins/%1.bmp").arg(QLatin1String(name)), "BMP");
    if (!strip.isNull())
        decoded.insert(key, strip);
    return strip;
}

void XP_UnitStartup()
{
    EnsureSkinResources();
    ScreenCursors::RegisterFromResource(crXPHand, QStringLiteral(":/skins/XPHANDCUR.cur"));
}
