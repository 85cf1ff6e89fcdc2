#include "controls/ScreenCursors.h"

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QString>

#include <map>

namespace ScreenCursors {
namespace {

std::map<int, CursorImage>& Table()
{
    static std::map<int, CursorImage> table;
    return table;
}

quint32 ReadU32(const QByteArray& data, int at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 ReadU16(const QByteArray& data, int at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint16(p[0] | p[1] << 8);
}

bool Bit(const QByteArray& data, qsizetype maskStart, int stride, int height, int x, int y)
{
    // Masks are stored bottom-up, most significant bit leftmost.
    const qsizetype row = maskStart + qsizetype(height - 1 - y) * stride;
    const auto byte = uchar(data.at(row + x / 8));
    return (byte >> (7 - x % 8)) & 1;
}

} // namespace

void Register(int index, QImage image, QPoint hotSpot)
{
    if (image.isNull()) {
        Table().erase(index);
        return;
    }
    Table()[index] = CursorImage{std::move(image), hotSpot};
}

bool IsRegistered(int index)
{
    return Table().count(index) != 0;
}

QCursor Cursor(int index)
{
    const auto found = Table().find(index);
    if (found == Table().end() || !qGuiApp)
        return QCursor(Qt::ArrowCursor);
    const CursorImage& entry = found->second;
    return QCursor(QPixmap::fromImage(entry.image), entry.hotSpot.x(), entry.hotSpot.y());
}

std::optional<CursorImage> DecodeCursorResource(const QByteArray& data)
{
    constexpr int kHeaderAt = 4, kHeaderSize = 40, kPaletteSize = 8;
    if (data.size() < kHeaderAt + kHeaderSize + kPaletteSize || ReadU32(data, kHeaderAt) != kHeaderSize)
        return std::nullopt;
    const auto width = qint32(ReadU32(data, kHeaderAt + 4));
    const auto doubledHeight = qint32(ReadU32(data, kHeaderAt + 8));
    const quint16 planes = ReadU16(data, kHeaderAt + 12);
    const quint16 bitCount = ReadU16(data, kHeaderAt + 14);
    const quint32 compression = ReadU32(data, kHeaderAt + 16);
    if (width <= 0 || width > 256 || doubledHeight <= 0 || doubledHeight % 2 != 0 || doubledHeight > 512
        || planes != 1 || bitCount != 1 || compression != 0)
        return std::nullopt;
    const int height = doubledHeight / 2;
    const int stride = ((width + 31) / 32) * 4;
    const qsizetype xorAt = kHeaderAt + kHeaderSize + kPaletteSize;
    const qsizetype andAt = xorAt + qsizetype(stride) * height;
    if (data.size() < andAt + qsizetype(stride) * height)
        return std::nullopt;

    const QRgb palette[2] = {ReadU32(data, kHeaderAt + kHeaderSize) | 0xFF000000u,
                             ReadU32(data, kHeaderAt + kHeaderSize + 4) | 0xFF000000u};
    CursorImage cursor;
    cursor.hotSpot = QPoint(ReadU16(data, 0), ReadU16(data, 2));
    cursor.image = QImage(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(cursor.image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool keep = Bit(data, andAt, stride, height, x, y);
            const bool colour = Bit(data, xorAt, stride, height, x, y);
            if (!keep)
                line[x] = palette[colour];
            else if (colour)
                line[x] = 0xFF000000u;  // inverting pixel: Qt cursors cannot invert, black reads best
            else
                line[x] = 0;
        }
    }
    return cursor;
}

bool RegisterFromResource(int index, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const std::optional<CursorImage> cursor = DecodeCursorResource(file.readAll());
    if (!cursor)
        return false;
    Register(index, cursor->image, cursor->hotSpot);
    return true;
}

} // namespace ScreenCursors
