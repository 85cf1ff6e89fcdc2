#pragma once

#include <QIcon>
#include <QString>

// A menu item's or flat button's bitmap as the framework draws it: the colour
// of its bottom-left pixel is transparent, so the glyphs' backdrop never shows.
// A glyph that is not there gives no icon.
QIcon MenuGlyph(const QString& resourcePath);
