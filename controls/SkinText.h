#pragma once

// Caption text of the skinned controls: accelerator rules and the one-line text drawing and
// focus rectangle they paint with, done the way the classic Windows calls lay them out.

#include "controls/XP_Unit.h"

#include <QChar>
#include <QString>

class QImage;
class QPainter;

namespace SkinText {

// The caption with every '&' removed; focus rectangles and link underlines are measured on it.
QString StripAmpersands(const QString& caption);

// The caption as prefix processing shows it: a single '&' is dropped, "&&" shows one '&'.
QString DisplayText(const QString& caption);

// The character after the last single '&'; a null QChar when there is none.
QChar Accelerator(const QString& caption);

// Whether typed is the caption's accelerator, ASCII letters compared without case.
bool IsAccelerator(QChar typed, const QString& caption);

// One line, vertically centred (and horizontally when centred), clipped to rect, the accelerator
// underlined. Positions are worked out in whole pixels as the platform's text call does, so a
// control lays out identically whatever the fractional metrics of the font.
void DrawText(QPainter& painter, TRect rect, const QString& caption, bool centred);

// The dotted focus rectangle (right and bottom exclusive, in the image's coordinates): every other
// device pixel of its outline is inverted, on a pattern fixed to the image's origin.
void DrawFocusRect(QImage& image, TRect rect);

} // namespace SkinText
