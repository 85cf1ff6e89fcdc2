#pragma once

#include <QIcon>
#include <QString>

// A menu item's bitmap as the menu draws it: the colour of its bottom-left
// pixel is transparent, so the glyphs' backdrop never shows.
QIcon MenuGlyph(const QString& resourcePath);
