#include "SkinArt.h"

#include <QColor>

#include <algorithm>
#include <cmath>

namespace SkinArt {
namespace {

QRgb Mix(QRgb a, QRgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

// ---- push button ----

constexpr int kBw = 18, kBh = 21;
constexpr QRgb kButtonBack = 0xFFECE9D8;

struct Rim
{
    QRgb top1, top2, side, bottom1, bottom2;
};

QRgb ButtonFace(int frame, int y)
{
    switch (frame) {
    case 2:  // pressed: darkest under the top edge
        if (y <= 10)
            return Mix(0xFFD1CCC1, 0xFFE2E1DA, (y - 1) / 9.0);
        return Mix(0xFFE2E1DA, 0xFFF2F1EE, (y - 10) / 9.0);
    case 3:
        return 0xFFF5F4EA;
    default:
        if (y == 17)
            return 0xFFECEBE6;
        if (y == 18)
            return 0xFFE2DFD6;
        if (y == 19)
            return 0xFFD6D0C5;
        return Mix(0xFFFFFFFF, 0xFFF0F0EA, (y - 1) / 15.0);
    }
}

void PaintButtonFrame(QImage& strip, int frame)
{
    const bool disabled = frame == 3;
    const QRgb outline = disabled ? 0xFFC9C7BA : 0xFF003C74;
    const QRgb dark = disabled ? Mix(outline, kButtonBack, 0.145) : 0xFF225583;
    const QRgb light = disabled ? Mix(outline, kButtonBack, 0.38) : 0xFF557DA2;
    const int x0 = (frame - 1) * kBw;
    auto set = [&](int x, int y, QRgb c) { strip.setPixel(x0 + x, y, c); };

    for (int y = 0; y < kBh; ++y)
        for (int x = 0; x < kBw; ++x)
            set(x, y, ButtonFace(frame, y));

    if (frame == 4 || frame == 5) {
        const Rim rim = frame == 4 ? Rim{0xFFFFF0CF, 0xFFFDD889, 0xFFFCCA69, 0xFFF8B330, 0xFFE59700}
                                   : Rim{0xFFCEE7FF, 0xFFBCD4F6, 0xFFA0BEEC, 0xFF89ADE4, 0xFF6982EE};
        for (int x = 1; x < kBw - 1; ++x) {
            set(x, 1, rim.top1);
            set(x, 2, rim.top2);
            set(x, kBh - 3, rim.bottom1);
            set(x, kBh - 2, rim.bottom2);
        }
        for (int y = 2; y < kBh - 3; ++y)
            for (int x : {1, 2, kBw - 3, kBw - 2})
                set(x, y, rim.side);
        // rounded inner corners of the rim
        for (int x : {1, kBw - 2}) {
            set(x, 2, Mix(rim.top2, rim.side, 0.5));
            set(x, kBh - 3, Mix(rim.bottom1, rim.side, 0.5));
        }
    }

    for (int x = 3; x < kBw - 3; ++x) {
        set(x, 0, outline);
        set(x, kBh - 1, outline);
    }
    for (int y = 3; y < kBh - 3; ++y) {
        set(0, y, outline);
        set(kBw - 1, y, outline);
    }
    // Corners: three background pixels, one dark and two light blends each.
    for (int cy : {0, 1}) {
        for (int cx : {0, 1}) {
            auto at = [&](int x, int y, QRgb c) {
                set(cx ? kBw - 1 - x : x, cy ? kBh - 1 - y : y, c);
            };
            at(0, 0, kButtonBack);
            at(1, 0, kButtonBack);
            at(0, 1, kButtonBack);
            at(1, 1, dark);
            at(2, 0, light);
            at(0, 2, light);
        }
    }
}

// ---- check box ----

constexpr int kCs = 13;

// Rows and columns 3 to 9; '#' full tick colour, '+' a softening half tone.
constexpr const char* kTick[7] = {
    "......#",
    ".....##",
    "#...###",
    "##+###+",
    "#####+.",
    "+###+..",
    "..#+...",
};

void PaintCheckFrame(QImage& strip, int frame)
{
    const bool disabled = frame == 3 || frame == 4;
    const bool checked = frame % 2 == 0;
    const bool hot = frame == 5 || frame == 6;
    const int x0 = (frame - 1) * kCs;
    const QRgb outline = disabled ? 0xFFC9C7BA : 0xFF003B74;
    const QRgb tick = disabled ? 0xFFC0BFB5 : 0xFF079D05;
    for (int y = 0; y < kCs; ++y) {
        for (int x = 0; x < kCs; ++x) {
            const double t = ((x - 1) + (y - 1)) / 20.0;
            QRgb c = disabled ? 0xFFF5F4EA : Mix(0xFFDDDDD7, 0xFFFFFFFF, t);
            if (hot && (x == 1 || y == 1 || x == kCs - 2 || y == kCs - 2))
                c = Mix(0xFFEDBB85, 0xFFFFCC99, t);
            if (x == 0 || y == 0 || x == kCs - 1 || y == kCs - 1)
                c = outline;
            if (checked && x >= 3 && x <= 9 && y >= 3 && y <= 9) {
                const char mark = kTick[y - 3][x - 3];
                if (mark == '#')
                    c = tick;
                else if (mark == '+')
                    c = Mix(c, tick, 0.45);
            }
            strip.setPixel(x0 + x, y, c);
        }
    }
}

// ---- radio box ----

constexpr QRgb kMagenta = 0xFFFF00FF;

bool RadioCorner(int x, int y)
{
    const int cx = std::min(x, kCs - 1 - x), cy = std::min(y, kCs - 1 - y);
    return cx + cy <= 2;  // three, two and one pixels on the three outermost rows
}

// Share of a pixel whose samples fall within radius range [r0, r1) of the disc's centre.
double Coverage(int x, int y, double r0, double r1)
{
    constexpr int kSamples = 8;
    int inside = 0;
    for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
            const double px = x + (sx + 0.5) / kSamples - 6.5, py = y + (sy + 0.5) / kSamples - 6.5;
            const double d = std::sqrt(px * px + py * py);
            inside += d >= r0 && d < r1;
        }
    }
    return double(inside) / (kSamples * kSamples);
}

void PaintRadioFrame(QImage& strip, int frame)
{
    const bool disabled = frame == 3 || frame == 4;
    const bool checked = frame % 2 == 0;
    const bool hot = frame == 5 || frame == 6;
    const int x0 = (frame - 1) * kCs;
    for (int y = 0; y < kCs; ++y) {
        for (int x = 0; x < kCs; ++x) {
            if (RadioCorner(x, y)) {
                strip.setPixel(x0 + x, y, kMagenta);
                continue;
            }
            // Diagonal, across the disc: its first and last face pixels on the diagonal, (3, 3) and
            // (9, 9), take the two ends; the rim beyond them stays at the end colours.
            const QRgb face = disabled ? 0xFFF5F4EA : Mix(0xFFDFDFDF, 0xFFFFFFFF, (x + y - 6) / 12.0);
            const double t = (x + y) / 24.0;
            // The outline shades from the top left to the bottom right, like light from above.
            const QRgb outline = disabled ? 0xFFC9C7BB : Mix(0xFF1E5283, 0xFF184D7E, t);
            const QRgb outside = disabled ? Mix(0xFFC9C7BB, 0xFFF8F6E6, 0.55) : Mix(outline, 0xFFF8F6E6, 0.45);
            const double ring = Coverage(x, y, 5.75, 6.75);
            const double beyond = Coverage(x, y, 6.75, 100.0);
            QRgb c = Mix(face, outline, ring);
            c = Mix(c, outside, beyond);
            if (hot) {
                const QRgb orange = Mix(0xFFFFE6A8, 0xFFF8B330, (y - 2) / 8.0);
                c = Mix(c, orange, Coverage(x, y, 4.2, 5.75));
            }
            if (checked) {
                const double r = std::hypot(x + 0.5 - 6.5, y + 0.5 - 6.5);
                const QRgb dotCore = disabled ? 0xFFC0BFB5 : 0xFF07A505;
                const QRgb dotRim = disabled ? 0xFFD6D5CC : 0xFF5CC75A;
                const QRgb dot = Mix(dotCore, dotRim, std::max(0.0, r - 0.75) / 1.75);
                c = Mix(c, dot, Coverage(x, y, 0.0, 2.55));
            }
            strip.setPixel(x0 + x, y, c);
        }
    }
    // Exact colours where the Part's looks name them.
    if (!disabled) {
        strip.setPixel(x0 + 6, 0, 0xFF1E5283);
        strip.setPixel(x0 + 0, 6, 0xFF1E5283);
        strip.setPixel(x0 + 6, 12, 0xFF184D7E);
        strip.setPixel(x0 + 12, 6, 0xFF184D7E);
    } else {
        for (auto [x, y] : {std::pair{6, 0}, {0, 6}, {6, 12}, {12, 6}})
            strip.setPixel(x0 + x, y, 0xFFC9C7BB);
    }
}

} // namespace

QImage ButtonStrip()
{
    QImage strip(5 * kBw, kBh, QImage::Format_RGB32);
    for (int frame = 1; frame <= 5; ++frame)
        PaintButtonFrame(strip, frame);
    return strip;
}

QImage CheckBoxStrip()
{
    QImage strip(6 * kCs, kCs, QImage::Format_RGB32);
    for (int frame = 1; frame <= 6; ++frame)
        PaintCheckFrame(strip, frame);
    return strip;
}

QImage RadioBoxStrip()
{
    QImage strip(6 * kCs, kCs, QImage::Format_RGB32);
    for (int frame = 1; frame <= 6; ++frame)
        PaintRadioFrame(strip, frame);
    return strip;
}

} // namespace SkinArt
