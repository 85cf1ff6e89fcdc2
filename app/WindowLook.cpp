#include "WindowLook.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <iterator>

namespace WindowLook {

QFont SongFont()
{
    // Only the faces that are there: for each one missing, Qt would ask fontconfig for
    // substitutes, which costs as much as loading a face.
    static const QStringList song{QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN")};
    const QStringList installed = QFontDatabase::families();
    QStringList families;
    std::copy_if(song.cbegin(), song.cend(), std::back_inserter(families),
                 [&](const QString& family) { return installed.contains(family); });
    QFont font;
    font.setFamilies(families.isEmpty() ? song : families);
    font.setPixelSize(12);
    // Each of them carries bitmaps for 12 pixels, which is how 宋体 draws this size on Windows:
    // crisp strokes, as the design was drawn, and cheaper than rasterising outlines. Qt takes a
    // face's bitmaps only for text that is not antialiased. A screen of higher density gets the
    // outlines, which are finer there than any bitmap.
    if (!families.isEmpty() && qGuiApp->devicePixelRatio() == 1.0)
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void SetBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

static QRect availableFor(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void CentreOnScreen(QWidget* window)
{
    const QRect area = availableFor(window);
    if (area.isEmpty())
        return;
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void PlaceOnScreen(QWidget* window, const QPoint& stored)
{
    const QRect area = availableFor(window);
    QPoint place = stored;
    if (!area.isEmpty()) {
        const QSize size = window->frameGeometry().size();
        place.setX(std::max(area.left(), std::min(place.x(), area.right() + 1 - size.width())));
        place.setY(std::max(area.top(), std::min(place.y(), area.bottom() + 1 - size.height())));
    }
    window->move(place);
}

} // namespace WindowLook
