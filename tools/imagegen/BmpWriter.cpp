#include "BmpWriter.h"

#include <QHash>
#include <QVector>

#include <stdexcept>

namespace BmpWriter {
namespace {

void Put16(QByteArray& out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void Put32(QByteArray& out, quint32 v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((v >> shift) & 0xFF));
}

QByteArray Headers(const QImage& image, int bits, int paletteEntries)
{
    const int stride = RowStride(image.width(), bits);
    const quint32 pixelBytes = quint32(stride) * quint32(image.height());
    const quint32 offset = 14 + 40 + quint32(paletteEntries) * 4;
    QByteArray out;
    out.append("BM");
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, quint32(image.width()));
    Put32(out, quint32(image.height()));  // positive: bottom-up
    Put16(out, 1);
    Put16(out, quint16(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 3780);  // 96 dots per inch
    Put32(out, 3780);
    Put32(out, quint32(paletteEntries));
    Put32(out, 0);
    return out;
}

} // namespace

int RowStride(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

QByteArray Encode24(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QByteArray out = Headers(image, 24, 0);
    const int stride = RowStride(image.width(), 24);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
        out.append(row);
    }
    return out;
}

QByteArray Encode16(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QByteArray out = Headers(image, 16, 0);
    const int stride = RowStride(image.width(), 16);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const quint16 v = quint16((qRed(line[x]) >> 3) << 10 | (qGreen(line[x]) >> 3) << 5 | (qBlue(line[x]) >> 3));
            row[2 * x] = char(v & 0xFF);
            row[2 * x + 1] = char(v >> 8);
        }
        out.append(row);
    }
    return out;
}

QByteArray Encode8(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QVector<QRgb> palette;
    QHash<QRgb, int> indexOf;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (!indexOf.contains(c)) {
                if (palette.size() == 256)
                    throw std::runtime_error("more than 256 colours in an 8-bit bitmap");
                indexOf.insert(c, int(palette.size()));
                palette.append(c);
            }
        }
    }
    QByteArray out = Headers(image, 8, 256);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    const int stride = RowStride(image.width(), 8);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x)
            row[x] = char(indexOf.value(line[x] | 0xFF000000u));
        out.append(row);
    }
    return out;
}

} // namespace BmpWriter
