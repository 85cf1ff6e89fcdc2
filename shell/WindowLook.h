#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

// The look every window of the program shares, the browser helper's included.
namespace WindowLook {

inline QColor Background() { return QColor(248, 246, 230); }

// 宋体 at 12 pixels, with the free CJK face that has the same metrics, drawn from the
// faces' own 12-pixel bitmaps where the screen has one device pixel per pixel.
QFont SongFont();

// The light colours the windows were drawn with. A dark desktop scheme would put its light
// text on the windows' fixed cream background, so the windows never take the desktop's colours.
QPalette Palette();

// Gives a window Palette() with every role fixed, so that later changes of the application's
// palette leave it alone; its pop-up menus and the tool tips get it as well, and the pop-up
// menus the font of the widget they open from.
void UsePalette(QWidget* window);

// Paints the widget's own background in the given colour.
void SetBackground(QWidget* widget, const QColor& colour);

// Centres a window on the screen it will appear on.
void CentreOnScreen(QWidget* window);

// The stored position where it fits, otherwise moved just far enough to lie
// wholly on the available screen.
void PlaceOnScreen(QWidget* window, const QPoint& stored);

} // namespace WindowLook
