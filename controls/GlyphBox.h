#pragma once

#include "controls/TCustomControl.h"

#include <QSize>

// The drawing the check box and the radio box share: a glyph of the strip at the left edge,
// vertically centred, and the caption 4 pixels right of it.
namespace GlyphBox {

// The strip frame for the state: disabled 3 or 4; checked 2, or 6 when 6 is requested; unchecked
// the request (1 or 5).
int Frame(bool enabled, bool checked, int requested);
// skin in color, and the glyph over it.
void PaintGlyph(QImage& skin, TColor color, const QImage& glyph);
// The caption, grey when disabled, and while focused the focus rectangle around it.
void PaintCaption(QImage& canvas, const TCustomControl& box);
QSize SizeHint(const TCustomControl& box);

} // namespace GlyphBox
