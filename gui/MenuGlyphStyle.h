#pragma once

#include <QProxyStyle>

// Menus show their glyphs at the glyphs' own sizes (up to 40 × 40), as the
// program's bitmaps were drawn for, instead of shrinking them to 16 pixels.
class MenuGlyphStyle final : public QProxyStyle
{
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
