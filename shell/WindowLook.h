#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSize>

#include <functional>

#include "controls/XP_Unit.h"

class QDialog;
class QWidget;

// The look every window of the program shares, the browser helper's included.
namespace WindowLook {

// The skinned controls' clWindowBackground (0x00BBGGRR): the one place the colour is written.
inline QColor Background()
{
    return QColor(int(clWindowBackground & 0xFF), int(clWindowBackground >> 8 & 0xFF), int(clWindowBackground >> 16 & 0xFF));
}

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
// Centres it so when it is first shown, and leaves it where the user puts it after that.
void CentreOnFirstShow(QWidget* window);

// The fixed dialogs' set-up: the font before the layout is made (setupUi), then a title bar
// with minimise and close, on top of the other windows, the icon, the size and the palette;
// centred on the first show.
void SetUpDialog(QDialog* dialog, QSize size, const std::function<void()>& setupUi);

// The stored position where it fits, otherwise moved just far enough to lie
// wholly on the available screen.
void PlaceOnScreen(QWidget* window, const QPoint& stored);

} // namespace WindowLook
