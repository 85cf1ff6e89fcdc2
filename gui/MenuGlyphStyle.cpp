#include "MenuGlyphStyle.h"

int MenuGlyphStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (metric == PM_SmallIconSize)
        return 40;   // an icon is never drawn larger than its pixmap, so small glyphs stay small
    return QProxyStyle::pixelMetric(metric, option, widget);
}
