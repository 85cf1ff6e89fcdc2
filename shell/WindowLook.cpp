#include "WindowLook.h"

#include <QApplication>
#include <QEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QIcon>
#include <QMenu>
#include <QPalette>
#include <QScreen>
#include <QToolTip>
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

QPalette Palette()
{
    // Qt's own light palette, with the design's grey for disabled text.
    static const struct {
        QPalette::ColorRole role;
        QRgb colour;
    } kColours[] = {
        {QPalette::WindowText, 0xFF000000},      {QPalette::Button, 0xFFEFEFEF},
        {QPalette::Light, 0xFFFFFFFF},           {QPalette::Midlight, 0xFFCACACA},
        {QPalette::Dark, 0xFF9F9F9F},            {QPalette::Mid, 0xFFB8B8B8},
        {QPalette::Text, 0xFF000000},            {QPalette::BrightText, 0xFFFFFFFF},
        {QPalette::ButtonText, 0xFF000000},      {QPalette::Base, 0xFFFFFFFF},
        {QPalette::Window, 0xFFEFEFEF},          {QPalette::Shadow, 0xFF767676},
        {QPalette::Highlight, 0xFF308CC6},       {QPalette::HighlightedText, 0xFFFFFFFF},
        {QPalette::Link, 0xFF0000FF},            {QPalette::LinkVisited, 0xFFFF00FF},
        {QPalette::AlternateBase, 0xFFF7F7F7},   {QPalette::ToolTipBase, 0xFFFFFFDC},
        {QPalette::ToolTipText, 0xFF000000},     {QPalette::PlaceholderText, 0x80000000},
    };
    static const struct {
        QPalette::ColorRole role;
        QRgb colour;
    } kDisabled[] = {
        {QPalette::WindowText, 0xFF808080}, {QPalette::Text, 0xFF808080}, {QPalette::ButtonText, 0xFF808080},
        {QPalette::Base, 0xFFEFEFEF},       {QPalette::Dark, 0xFFBEBEBE}, {QPalette::Shadow, 0xFFB1B1B1},
        {QPalette::Highlight, 0xFF919191},
    };
    QPalette palette;
    for (const auto& entry : kColours)
        palette.setColor(entry.role, QColor::fromRgba(entry.colour));
    for (const auto& entry : kDisabled)
        palette.setColor(QPalette::Disabled, entry.role, QColor::fromRgba(entry.colour));
    return palette;
}

namespace {

const char kDesignLook[] = "quelmDesignLook";

// Pop-up menus are windows of their own and inherit neither palette nor font, and Qt makes
// some by itself (an edit box's context menu): each takes the look of the window it opens
// from just before it is first laid out. (A combo box hands its palette to its list itself.)
class PopupLook final : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Polish)
            return false;
        auto* popup = qobject_cast<QMenu*>(watched);
        QWidget* opener = popup ? popup->parentWidget() : nullptr;
        if (opener && opener->window()->property(kDesignLook).toBool()) {
            popup->setPalette(Palette());
            popup->setFont(opener->font());
        }
        return false;
    }
};

} // namespace

void UsePalette(QWidget* window)
{
    static const bool filterInstalled = [] {
        qApp->installEventFilter(new PopupLook(qApp));
        return true;
    }();
    Q_UNUSED(filterInstalled);
    window->setProperty(kDesignLook, true);
    window->setPalette(Palette());
    QToolTip::setPalette(Palette());
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

namespace {

class CentreOnce final : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            CentreOnScreen(static_cast<QWidget*>(watched));
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void CentreOnFirstShow(QWidget* window)
{
    window->installEventFilter(new CentreOnce(window));
}

void SetUpDialog(QDialog* dialog, QSize size, const std::function<void()>& setupUi)
{
    dialog->setFont(SongFont());
    setupUi();
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    dialog->setWindowIcon(QIcon(QStringLiteral(":/images/MAINICON.png")));
    dialog->setFixedSize(size);
    UsePalette(dialog);
    CentreOnFirstShow(dialog);
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
