#pragma once

// Shared by the skinned-control tests: a shown and active form in the project's font, screen
// shots of what a control really put on the screen, strip frames to compare them with, and a
// recording link opener.

#include "controls/LinkOpener.h"
#include "controls/XP_Unit.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFont>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <stdexcept>

namespace ControlTest {

// The project's CJK face at the windows' 12 pixels. Unsmoothed, so that it draws its embedded
// bitmaps and every text pixel has exactly the text colour.
inline QFont UmingFont()
{
    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPixelSize(12);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// A top-level window with the font the windows of the program use, shown and active.
class Form : public QWidget
{
public:
    Form()
    {
        setFont(UmingFont());
        resize(400, 300);
    }
    bool ShowActive()
    {
        show();
        activateWindow();
        return QTest::qWaitForWindowExposed(this) && QTest::qWaitForWindowActive(this);
    }
};

// What is on the screen (the window's backing store) where widget is, not a fresh rendering:
// transient looks such as the hot face are only there.
inline QImage Shot(const QWidget* widget)
{
    const QWidget* window = widget->window();
    const QPoint at = widget->mapTo(window, QPoint(0, 0));
    return window->screen()
        ->grabWindow(window->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

inline QImage Frame(const char* strip, int count, int index)
{
    QImage frame;
    GetSkinFrame(LoadSkinStrip(strip), frame, count, index, true);
    return frame.convertToFormat(QImage::Format_RGB32);
}

inline QImage Stretched(const QImage& frame, int w, int h)
{
    QImage face(w, h, QImage::Format_RGB32);
    face.fill(0);
    DrawSkinStretched(frame, face, {0, 0, w, h});
    return face;
}

// Empty when block equals shot's pixels at (x, y) (rows of block outside shot ignored), otherwise
// where the first difference is.
inline QString Differs(const QImage& shot, int x, int y, const QImage& block)
{
    for (int row = 0; row < block.height(); ++row) {
        for (int col = 0; col < block.width(); ++col) {
            if (!shot.valid(x + col, y + row))
                continue;
            const QRgb got = shot.pixel(x + col, y + row) | 0xFF000000u;
            const QRgb want = block.pixel(col, row) | 0xFF000000u;
            if (got != want)
                return QStringLiteral("(%1,%2): %3 instead of %4")
                    .arg(x + col)
                    .arg(y + row)
                    .arg(got & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                    .arg(want & 0xFFFFFF, 6, 16, QLatin1Char('0'));
        }
    }
    return {};
}

inline int CountColour(const QImage& image, QRect area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++count;
    return count;
}

// Mouse input through the window, as the platform delivers it: the press grabs the mouse, and a
// second press in time arrives as a double click.
enum class Mouse { Press, Release, Click, DoubleClick, Move };
inline void MouseAt(QWidget* widget, Mouse action, QPoint local, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = widget->window()->windowHandle();
    const QPoint at = widget->mapTo(widget->window(), local);
    switch (action) {
    case Mouse::Press: QTest::mousePress(window, button, {}, at); break;
    case Mouse::Release: QTest::mouseRelease(window, button, {}, at); break;
    case Mouse::Click: QTest::mouseClick(window, button, {}, at); break;
    case Mouse::DoubleClick: QTest::mouseDClick(window, button, {}, at); break;
    case Mouse::Move: QTest::mouseMove(window, at); break;
    }
}

inline void SendEnter(QWidget* widget)
{
    const QPointF local(2, 2);
    QEnterEvent event(local, widget->mapTo(widget->window(), local), widget->mapToGlobal(local));
    QApplication::sendEvent(widget, &event);
}

inline void SendLeave(QWidget* widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

// A key press as the keyboard's auto-repeat delivers it.
inline void SendKey(QWidget* widget, Qt::Key key, const QString& text, bool autoRepeat,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text, autoRepeat);
    QApplication::sendEvent(widget, &event);
}

// Counts the paints a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

class RecordingLinkOpener final : public LinkOpener
{
public:
    RecordingLinkOpener() { SetLinkOpener(this); }
    ~RecordingLinkOpener() override { SetLinkOpener(nullptr); }
    void Open(const QString& target) override
    {
        opened << target;
        if (failWith)
            throw std::runtime_error(failWith);
    }
    QStringList opened;
    const char* failWith = nullptr;
};

} // namespace ControlTest
