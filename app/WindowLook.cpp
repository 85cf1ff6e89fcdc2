#include "WindowLook.h"

#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace WindowLook {

QFont SongFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN")});
    font.setPixelSize(12);
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
