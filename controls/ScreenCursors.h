#pragma once

// The program's numbered table of screen cursors. Entries hold an image and a hot spot so that
// they can be registered before any QGuiApplication exists; the QCursor is built when asked for.

#include <QCursor>
#include <QImage>
#include <QPoint>

#include <optional>

class QByteArray;
class QString;

namespace ScreenCursors {

struct CursorImage
{
    QImage image;  // ARGB32, transparent where the cursor leaves the screen alone
    QPoint hotSpot;
};

// A null image removes the entry.
void Register(int index, QImage image, QPoint hotSpot);
bool IsRegistered(int index);

// The registered cursor, or the default arrow for a number never registered (and for any number
// while no QGuiApplication exists, since a picture cursor needs one).
QCursor Cursor(int index);

// Decodes a monochrome cursor resource: hot-spot x and y (16-bit little-endian), a 40-byte
// BITMAPINFOHEADER of twice the image height, a two-entry palette, then the XOR and AND masks.
std::optional<CursorImage> DecodeCursorResource(const QByteArray& data);

// Reads and registers a cursor resource; false (and nothing registered) when it cannot be read.
bool RegisterFromResource(int index, const QString& path);

} // namespace ScreenCursors
