#pragma once

// The program's pictures other than the skins: icon, banners, menu and browser glyphs.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace Artwork {

struct Glyph
{
    QString name;  // written as glyph_<name>.bmp
    QImage image;  // opaque; the bottom-left pixel is the background (drawn transparent)
    int bits;      // 16 or 24
};

QImage AppIcon(int size);  // ARGB, a magnifier shaped like a Q over a globe
QByteArray AppIconSvg();   // the same picture as SVG
QImage MainBanner();       // 214 x 60
QImage AboutBanner();      // 62 x 216, the name set vertically
std::vector<Glyph> Glyphs();

// Everything enlarged on one sheet, for looking at.
QImage ContactSheet(const QImage& button, const QImage& check, const QImage& radio, const QImage& cursor);

} // namespace Artwork
