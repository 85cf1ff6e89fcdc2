#include "controls/SkinText.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRect>

namespace SkinText {

QString StripAmpersands(const QString& caption)
{
    QString result = caption;
    result.remove(QLatin1Char('&'));
    return result;
}

QString DisplayText(const QString& caption)
{
    QString result;
    result.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                result += caption.at(++i);
            continue;
        }
        result += caption.at(i);
    }
    return result;
}

QChar Accelerator(const QString& caption)
{
    QChar found;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        ++i;
        if (caption.at(i) != QLatin1Char('&'))
            found = caption.at(i);
    }
    return found;
}

static QChar AsciiUpper(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') ? QChar(char16_t(u - 32)) : c;
}

bool IsAccelerator(QChar typed, const QString& caption)
{
    const QChar accelerator = Accelerator(caption);
    return !accelerator.isNull() && !typed.isNull() && AsciiUpper(typed) == AsciiUpper(accelerator);
}

void DrawText(QPainter& painter, TRect rect, const QString& caption, bool centred)
{
    const int width = rect.Right - rect.Left, height = rect.Bottom - rect.Top;
    if (width <= 0 || height <= 0 || caption.isEmpty())
        return;
    const QFontMetrics metrics(painter.font(), painter.device());
    // Left-aligned text starts at the rectangle's left edge whatever its width, so the caption is
    // only measured (shaped once more) where the width moves it.
    const bool measure = centred || painter.layoutDirection() == Qt::RightToLeft;
    const int textWidth = measure ? metrics.horizontalAdvance(DisplayText(caption)) : 0;
    const int textHeight = metrics.height();
    const int x = centred ? rect.Left + (width - textWidth) / 2 : rect.Left;
    const int y = rect.Top + (height - textHeight) / 2;

    painter.save();
    painter.setClipRect(QRect(rect.Left, rect.Top, width, height), Qt::IntersectClip);
    painter.drawText(QRect(x, y, textWidth + textHeight, textHeight),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic | Qt::TextDontClip,
                     caption);
    painter.restore();
}

void DrawFocusRect(QImage& image, TRect rect)
{
    if (rect.Right <= rect.Left || rect.Bottom <= rect.Top)
        return;
    const qreal ratio = image.devicePixelRatio();
    rect = {qRound(rect.Left * ratio), qRound(rect.Top * ratio), qRound(rect.Right * ratio), qRound(rect.Bottom * ratio)};
    const auto invert = [&image](int x, int y) {
        if (((x + y) & 1) == 0 && image.valid(x, y))
            image.setPixel(x, y, image.pixel(x, y) ^ 0x00FFFFFFu);
    };
    // Each outline pixel once, also where the rectangle is one pixel wide or high.
    for (int x = rect.Left; x < rect.Right; ++x) {
        invert(x, rect.Top);
        if (rect.Bottom - 1 != rect.Top)
            invert(x, rect.Bottom - 1);
    }
    for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        invert(rect.Left, y);
        if (rect.Right - 1 != rect.Left)
            invert(rect.Right - 1, y);
    }
}

} // namespace SkinText
