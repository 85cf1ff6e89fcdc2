#pragma once

// Windows bitmap files written byte by byte: BITMAPFILEHEADER, 40-byte BITMAPINFOHEADER,
// no compression, rows bottom-up and padded to 4 bytes.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace BmpWriter {

QByteArray Encode24(const QImage& image);

// 5-5-5 pixels (BI_RGB): each channel keeps its top five bits.
QByteArray Encode16(const QImage& image);

// A 256-entry palette made of the image's own colours in order of first appearance (top row
// first), the rest black. Throws std::runtime_error when the image has more than 256 colours.
QByteArray Encode8(const QImage& image);

int RowStride(int width, int bitsPerPixel);

} // namespace BmpWriter
