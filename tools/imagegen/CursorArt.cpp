#include "CursorArt.h"

namespace CursorArt {
namespace {

constexpr int kSize = 32;
constexpr int kHotX = 7, kHotY = 1;

// '#' black outline, 'o' white fill, anything else transparent. The index finger's tip is the hot spot.
constexpr const char* kHand[kSize] = {
    "................................",
    "......##........................",
    ".....#oo#.......................",
    ".....#oo#.......................",
    ".....#oo#.......................",
    ".....#oo#.......................",
    ".....#oo###.....................",
    ".....#oo#oo###..................",
    ".....#oo#oo#oo###...............",
    ".....#oo#oo#oo#oo#..............",
    ".##..#oo#oo#oo#oo#..............",
    "#oo#.#oo#oo#oo#oo#..............",
    "#ooo##oo#oo#oo#oo#..............",
    ".#ooooooooooooooo#..............",
    ".#ooooooooooooooo#..............",
    "..#oooooooooooooo#..............",
    "..#oooooooooooooo#..............",
    "...#ooooooooooooo#..............",
    "...#oooooooooooo#...............",
    "....#ooooooooooo#...............",
    "....#oooooooooo#................",
    ".....#ooooooooo#................",
    ".....#ooooooooo#................",
    ".....###########................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

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

// One mask, bottom-up, one bit per pixel, most significant bit leftmost.
QByteArray Mask(bool (*bit)(char))
{
    QByteArray mask;
    for (int y = kSize - 1; y >= 0; --y) {
        for (int byte = 0; byte < kSize / 8; ++byte) {
            uchar value = 0;
            for (int b = 0; b < 8; ++b)
                value = uchar(value << 1 | (bit(kHand[y][byte * 8 + b]) ? 1 : 0));
            mask.append(char(value));
        }
    }
    return mask;
}

} // namespace

QByteArray HandCursorResource()
{
    QByteArray out;
    Put16(out, kHotX);
    Put16(out, kHotY);
    Put32(out, 40);
    Put32(out, kSize);
    Put32(out, kSize * 2);  // XOR and AND masks stacked
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, 0);
    Put32(out, 2 * kSize * kSize / 8);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 2);
    Put32(out, 0);
    Put32(out, 0x00000000);  // palette: black, white
    Put32(out, 0x00FFFFFF);
    out.append(Mask([](char c) { return c == 'o'; }));                 // XOR: white where filled
    out.append(Mask([](char c) { return c != '#' && c != 'o'; }));     // AND: keep the screen elsewhere
    return out;
}

QImage HandCursorPreview()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (kHand[y][x] == '#' || kHand[y][x] == 'o')
                image.setPixel(x, y, kHand[y][x] == '#' ? 0xFF000000u : 0xFFFFFFFFu);
    return image;
}

} // namespace CursorArt
