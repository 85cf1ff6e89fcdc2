#pragma once

// The three skin strips, painted pixel by pixel so that every frame keeps its exact layout.

#include <QImage>

namespace SkinArt {

QImage ButtonStrip();    // 90 x 21, five 18 x 21 frames
QImage CheckBoxStrip();  // 78 x 13, six 13 x 13 frames
QImage RadioBoxStrip();  // 78 x 13, six 13 x 13 frames, #FF00FF outside the disc

} // namespace SkinArt
