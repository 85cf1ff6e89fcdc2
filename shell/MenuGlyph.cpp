#include "MenuGlyph.h"

#include <QBitmap>
#include <QColor>
#include <QImage>
#include <QPixmap>

QIcon MenuGlyph(const QString& resourcePath)
{
    const QImage image(resourcePath);
    if (image.isNull())
        return QIcon();
    QPixmap pixmap = QPixmap::fromImage(image);
    const QRgb key = image.pixel(0, image.height() - 1);
    pixmap.setMask(pixmap.createMaskFromColor(QColor(key), Qt::MaskInColor));
    return QIcon(pixmap);
}
