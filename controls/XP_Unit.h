#pragma once

// Shared drawing routines of the skinned control set, and the set's start-up.
// They work on QImage (the off-screen bitmaps of the controls) and keep no state.

#include <QImage>
#include <QRgb>
#include <QtGlobal>

// Framework colour: 0x00BBGGRR (red in the low byte); 0x80000000 | n names system colour n.
using TColor = quint32;

constexpr TColor clBlack = 0x000000, clRed = 0x0000FF, clPurple = 0x800080, clGray = 0x808080,
                 clFuchsia = 0xFF00FF, clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = 0x8000000F, clWindow = 0x80000005, clWindowText = 0x80000008;
constexpr TColor clGradientActiveCaption = 0x8000001B;
constexpr TColor clWindowBackground = 15136504;  // RGB(248, 246, 230), the windows' colour

// System colours come from the application palette where Qt has a matching role, otherwise (and
// before a QGuiApplication exists) from the classic XP table. Other values pass through.
QRgb ColorToRGB(TColor color);
TColor RGBToColor(QRgb rgb);

// Right and Bottom are exclusive when the rectangle is drawn into.
struct TRect
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// All four edges count as inside.
bool PointInRect(TRect rect, int X, int Y);

// The lightened grey of color, mapped to the nearest colour canvas can hold (the grey itself on a
// true-colour image, the nearest table entry on an indexed one).
TColor GrayColor(const QImage& canvas, TColor color, int offset);

// Every pixel becomes GrayColor of itself; alpha is kept.
void GrayBitmap(QImage& bitmap, int offset);

// Paints every glyph pixel that differs from the glyph's bottom-left pixel in color at (X, Y);
// fully transparent pixels of a glyph with alpha are left out as well.
void DrawMonoGlyph(const QImage& glyph, QImage& canvas, int X, int Y, TColor color);

// Cuts frame index (1-based) of count out of strip. frame gets a 32-bit copy (RGB32, or ARGB32
// when the strip has alpha), as the caller's bitmap would be in the device format.
void GetSkinFrame(const QImage& strip, QImage& frame, int count, int index, bool horizontal);

// Draws skin into rect of canvas, keeping its left/right halves and top/bottom halves at natural
// size and repeating the middle column and row in between. Pixels outside rect stay untouched.
void DrawSkinStretched(const QImage& skin, QImage& canvas, TRect rect);

// A 32-bit copy of bitmap in which the pixels of color are left out (fully transparent).
QImage Transparent(const QImage& bitmap, TColor color);

// skin (32-bit, at ratio 1) as size device pixels at a device pixel ratio, carrying it. Every
// device pixel takes the nearest skin pixel, counted from the nearer edge: at integer ratios each
// pixel becomes a whole block, at fractional ones both rims keep the same width, and no pixel is
// ever blended.
QImage EnlargeSkin(const QImage& skin, qreal ratio, QSize size);

// "XPBUTTON", "XPCHECKBOX" or "XPRADIOBOX" from the compiled-in resources, decoded on first use and
// handed out as a copy that the caller may change freely; a null image when there is no such strip.
QImage LoadSkinStrip(const char* name);

constexpr int crXPHand = 246;

// Call once in main() before QApplication is created: registers the hand cursor under crXPHand.
// When the cursor resource cannot be read, nothing is registered.
void XP_UnitStartup();
