#pragma once

// The hand cursor as a monochrome cursor resource (hot-spot words, DIB header, palette, masks).

#include <QByteArray>
#include <QImage>

namespace CursorArt {

QByteArray HandCursorResource();  // 308 bytes, 32 x 32, hot spot (7, 1)
QImage HandCursorPreview();       // the same picture, ARGB, for the contact sheet

} // namespace CursorArt
