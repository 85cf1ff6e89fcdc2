#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The look every window of the program shares.
namespace WindowLook {

inline QColor Background() { return QColor(248, 246, 230); }

// 宋体 at 12 pixels, with the free CJK face that has the same metrics, drawn from the
// faces' own 12-pixel bitmaps where the screen has one device pixel per pixel.
QFont SongFont();

// Paints the widget's own background in the given colour.
void SetBackground(QWidget* widget, const QColor& colour);

// Centres a window on the screen it will appear on.
void CentreOnScreen(QWidget* window);

// The stored position where it fits, otherwise moved just far enough to lie
// wholly on the available screen.
void PlaceOnScreen(QWidget* window, const QPoint& stored);

} // namespace WindowLook
