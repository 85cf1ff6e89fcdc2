#include "Artwork.h"

#include <QConicalGradient>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <functional>

namespace Artwork {
namespace {

const QString kChineseFamily = QStringLiteral("AR PL UMing CN");
const QString kLatinFamily = QStringLiteral("DejaVu Sans");
constexpr QRgb kKey = 0xFFFF00FF;      // glyph background, left out when drawn
constexpr QRgb kNeutral = 0xFFF8F6E6;  // what soft edges are blended against: the windows' colour

QImage Transparent(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void Smooth(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// Opaque picture whose background is kKey: faint pixels become background, the others are laid
// over the windows' colour so that no magenta fringe survives.
QImage Flatten(const QImage& art)
{
    const QImage source = art.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int a = qAlpha(in[x]);
            if (a < 100) {
                line[x] = kKey;
                continue;
            }
            auto over = [a](int c, int b) { return (c * a + b * (255 - a) + 127) / 255; };
            QRgb c = qRgb(over(qRed(in[x]), qRed(kNeutral)), over(qGreen(in[x]), qGreen(kNeutral)),
                          over(qBlue(in[x]), qBlue(kNeutral)));
            if ((c | 0xFF000000u) == kKey)
                c = qRgb(254, 0, 254);
            line[x] = c;
        }
    }
    out.setPixel(0, out.height() - 1, kKey);
    return out;
}

// ---- the globe and the Q-shaped magnifier, in a 32 x 32 design box ----

void PaintGlobe(QPainter& p, QPointF c, qreal r, bool detail)
{
    QRadialGradient sea(c - QPointF(r * 0.45, r * 0.5), r * 1.6);
    sea.setColorAt(0.0, QColor(0xD8, 0xF1, 0xFF));
    sea.setColorAt(0.35, QColor(0x5C, 0xB4, 0xF0));
    sea.setColorAt(0.8, QColor(0x1F, 0x74, 0xCC));
    sea.setColorAt(1.0, QColor(0x12, 0x4E, 0x9E));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(c, r, r);

    p.save();
    QPainterPath clip;
    clip.addEllipse(c, r, r);
    p.setClipPath(clip);
    // two continents, enough to read as the earth
    QPainterPath land;
    land.moveTo(c + QPointF(-r * 0.75, -r * 0.35));
    land.cubicTo(c + QPointF(-r * 0.35, -r * 0.85), c + QPointF(r * 0.05, -r * 0.55), c + QPointF(-r * 0.05, -r * 0.15));
    land.cubicTo(c + QPointF(-r * 0.15, r * 0.2), c + QPointF(-r * 0.55, r * 0.05), c + QPointF(-r * 0.6, r * 0.5));
    land.cubicTo(c + QPointF(-r * 0.9, r * 0.3), c + QPointF(-r * 1.0, -r * 0.1), c + QPointF(-r * 0.75, -r * 0.35));
    land.moveTo(c + QPointF(r * 0.25, r * 0.05));
    land.cubicTo(c + QPointF(r * 0.7, -r * 0.15), c + QPointF(r * 0.95, r * 0.3), c + QPointF(r * 0.6, r * 0.75));
    land.cubicTo(c + QPointF(r * 0.35, r * 0.95), c + QPointF(r * 0.15, r * 0.45), c + QPointF(r * 0.25, r * 0.05));
    QLinearGradient green(c - QPointF(r, r), c + QPointF(r, r));
    green.setColorAt(0.0, QColor(0x9B, 0xE0, 0x5A));
    green.setColorAt(1.0, QColor(0x2E, 0x8B, 0x2A));
    p.setBrush(green);
    p.drawPath(land);
    if (detail) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, 90), r * 0.07));
        p.drawEllipse(c, r * 0.45, r);
        p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
        p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
    }
    p.restore();
}

void PaintQIcon(QPainter& p, bool small)
{
    const QPointF c(13.5, 13.5);
    // handle first, so the ring covers its end: the tail of the Q
    QLinearGradient handle(QPointF(20, 20), QPointF(30, 30));
    handle.setColorAt(0.0, QColor(0xFF, 0xC8, 0x55));
    handle.setColorAt(0.5, QColor(0xFA, 0x92, 0x16));
    handle.setColorAt(1.0, QColor(0xD4, 0x62, 0x00));
    p.setPen(QPen(QColor(0x8C, 0x3D, 0x00), small ? 6.6 : 6.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21.2, 21.2), QPointF(28.6, 28.6));
    p.setPen(QPen(QBrush(handle), small ? 4.8 : 4.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(21.2, 21.2), QPointF(28.6, 28.6));

    PaintGlobe(p, c, 9.0, !small);

    QLinearGradient ring(QPointF(4, 4), QPointF(24, 24));
    ring.setColorAt(0.0, QColor(0x4A, 0x86, 0xE0));
    ring.setColorAt(0.5, QColor(0x1A, 0x4F, 0xB0));
    ring.setColorAt(1.0, QColor(0x0B, 0x2A, 0x6E));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x06, 0x1D, 0x50), 3.9));
    p.drawEllipse(c, 10.3, 10.3);
    p.setPen(QPen(QBrush(ring), 2.8));
    p.drawEllipse(c, 10.3, 10.3);
    if (!small) {
        // glint on the ring and on the glass
        p.setPen(QPen(QColor(255, 255, 255, 170), 0.9, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(c.x() - 10.3, c.y() - 10.3, 20.6, 20.6), 100 * 16, 70 * 16);
        p.setPen(QPen(QColor(255, 255, 255, 120), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(c.x() - 7, c.y() - 7, 14, 14), 105 * 16, 50 * 16);
    }
}

QImage DrawScaled(int w, int h, qreal design, const std::function<void(QPainter&)>& paint)
{
    QImage image = Transparent(w, h);
    QPainter p(&image);
    Smooth(p);
    p.scale(w / design, h / design);
    paint(p);
    return image;
}

// ---- glyphs ----

void PaintFolder(QPainter& p, QRectF r, QColor light, QColor dark, QColor line)
{
    const qreal tab = r.height() * 0.22;
    QPainterPath back;
    back.moveTo(r.left(), r.top() + tab);
    back.lineTo(r.left(), r.top() + 1);
    back.quadTo(r.left(), r.top(), r.left() + 1, r.top());
    back.lineTo(r.left() + r.width() * 0.36, r.top());
    back.lineTo(r.left() + r.width() * 0.46, r.top() + tab);
    back.lineTo(r.right(), r.top() + tab);
    back.lineTo(r.right(), r.bottom());
    back.lineTo(r.left(), r.bottom());
    back.closeSubpath();
    p.setPen(QPen(line, 1.0));
    p.setBrush(dark);
    p.drawPath(back);
    // sheet of paper peeking out
    p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 0.7));
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawRect(QRectF(r.left() + r.width() * 0.12, r.top() + tab * 0.6, r.width() * 0.72, r.height() * 0.5));
    QLinearGradient front(r.topLeft(), r.bottomLeft());
    front.setColorAt(0.0, light);
    front.setColorAt(1.0, dark);
    QPainterPath body;
    body.moveTo(r.left() + r.width() * 0.08, r.top() + tab * 2.0);
    body.lineTo(r.right(), r.top() + tab * 2.0);
    body.lineTo(r.right() - r.width() * 0.06, r.bottom());
    body.lineTo(r.left(), r.bottom());
    body.closeSubpath();
    p.setPen(QPen(line, 1.0));
    p.setBrush(front);
    p.drawPath(body);
}

void PaintBlueFolder(QPainter& p)
{
    PaintFolder(p, QRectF(1.5, 2.5, 15, 13), QColor(0x9C, 0xCB, 0xFA), QColor(0x2F, 0x73, 0xD0), QColor(0x1A, 0x48, 0x96));
}

void PaintHouse(QPainter& p)
{
    QPainterPath roof;
    roof.moveTo(9.0, 12.5);
    roof.lineTo(14.5, 7.3);
    roof.lineTo(20.0, 12.5);
    roof.closeSubpath();
    QPainterPath wall;
    wall.addRect(QRectF(10.8, 12.0, 7.4, 6.5));
    QLinearGradient walls(QPointF(0, 11), QPointF(0, 19));
    walls.setColorAt(0.0, QColor(0xFF, 0xE3, 0x9C));
    walls.setColorAt(1.0, QColor(0xF3, 0xA6, 0x33));
    p.setPen(QPen(QColor(0x9A, 0x48, 0x00), 1.0));
    p.setBrush(walls);
    p.drawPath(wall);
    QLinearGradient tiles(QPointF(0, 7), QPointF(0, 13));
    tiles.setColorAt(0.0, QColor(0xFF, 0x8A, 0x2A));
    tiles.setColorAt(1.0, QColor(0xD2, 0x4A, 0x05));
    p.setBrush(tiles);
    p.setPen(QPen(QColor(0x8C, 0x30, 0x00), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(roof);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8C, 0x4A, 0x12));
    p.drawRect(QRectF(13.5, 14.5, 2.2, 4.0));  // door
}

void PaintStopBand(QPainter& p)
{
    const QPointF c(14.0, 13.5);
    QRadialGradient red(c - QPointF(1.8, 2.2), 7.5);
    red.setColorAt(0.0, QColor(0xFF, 0x86, 0x70));
    red.setColorAt(0.5, QColor(0xE8, 0x22, 0x12));
    red.setColorAt(1.0, QColor(0xA8, 0x0C, 0x05));
    p.setPen(QPen(QColor(0x7A, 0x06, 0x00), 1.0));
    p.setBrush(red);
    p.drawEllipse(c, 5.6, 5.6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawRoundedRect(QRectF(c.x() - 3.7, c.y() - 1.2, 7.4, 2.4), 0.8, 0.8);
}

void PaintGreenGlobe(QPainter& p)
{
    const QPointF c(14.0, 13.5);
    const qreal r = 5.6;
    QRadialGradient sea(c - QPointF(2, 2.2), 8);
    sea.setColorAt(0.0, QColor(0xD6, 0xFF, 0xC4));
    sea.setColorAt(0.45, QColor(0x4C, 0xC2, 0x3A));
    sea.setColorAt(1.0, QColor(0x1B, 0x79, 0x18));
    p.setPen(QPen(QColor(0x10, 0x55, 0x10), 1.0));
    p.setBrush(sea);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 0.8));
    p.drawEllipse(c, r * 0.45, r - 0.4);
    p.drawLine(c - QPointF(r - 0.5, 0), c + QPointF(r - 0.5, 0));
    p.drawLine(c - QPointF(0, r - 0.5), c + QPointF(0, r - 0.5));
}

QImage MusicGlyph()
{
    return DrawScaled(20, 20, 20, [](QPainter& p) {
        QLinearGradient ink(QPointF(2, 2), QPointF(18, 18));
        ink.setColorAt(0.0, QColor(0xA0, 0x6C, 0xF2));
        ink.setColorAt(1.0, QColor(0x45, 0x1C, 0x9E));
        QPainterPath beam;
        beam.moveTo(6.6, 4.5);
        beam.lineTo(17.0, 2.2);
        beam.lineTo(17.0, 5.4);
        beam.lineTo(6.6, 7.7);
        beam.closeSubpath();
        p.setPen(QPen(QColor(0x2C, 0x0C, 0x70), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(ink);
        p.drawPath(beam);
        p.drawRect(QRectF(6.0, 5.0, 1.5, 10.5));
        p.drawRect(QRectF(16.2, 3.0, 1.5, 10.5));
        for (QPointF head : {QPointF(4.8, 15.6), QPointF(15.0, 13.4)}) {
            p.save();
            p.translate(head);
            p.rotate(-22);
            p.drawEllipse(QPointF(0, 0), 2.9, 2.1);
            p.restore();
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(QPointF(4.0, 14.9), 0.9, 0.6);
        p.drawEllipse(QPointF(14.2, 12.7), 0.9, 0.6);
    });
}

QImage DownloadGlyph()
{
    return DrawScaled(20, 20, 20, [](QPainter& p) {
        QLinearGradient tray(QPointF(0, 13), QPointF(0, 19));
        tray.setColorAt(0.0, QColor(0xE6, 0xE6, 0xE6));
        tray.setColorAt(1.0, QColor(0x8E, 0x8E, 0x8E));
        p.setPen(QPen(QColor(0x55, 0x55, 0x55), 1.0));
        p.setBrush(tray);
        p.drawRoundedRect(QRectF(2.5, 13.5, 15, 4.5), 1.2, 1.2);
        QPainterPath arrow;
        arrow.moveTo(7.5, 1.5);
        arrow.lineTo(12.5, 1.5);
        arrow.lineTo(12.5, 8.0);
        arrow.lineTo(16.0, 8.0);
        arrow.lineTo(10.0, 14.8);
        arrow.lineTo(4.0, 8.0);
        arrow.lineTo(7.5, 8.0);
        arrow.closeSubpath();
        QLinearGradient green(QPointF(4, 0), QPointF(16, 0));
        green.setColorAt(0.0, QColor(0x8F, 0xE8, 0x6A));
        green.setColorAt(1.0, QColor(0x1E, 0x96, 0x1C));
        p.setPen(QPen(QColor(0x0E, 0x5C, 0x0C), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(green);
        p.drawPath(arrow);
    });
}

QImage ExitGlyph()
{
    return DrawScaled(20, 20, 20, [](QPainter& p) {
        const QPointF c(10, 10);
        QRadialGradient red(c - QPointF(2.5, 3), 11);
        red.setColorAt(0.0, QColor(0xFF, 0x9A, 0x80));
        red.setColorAt(0.5, QColor(0xE2, 0x25, 0x10));
        red.setColorAt(1.0, QColor(0x96, 0x0A, 0x02));
        p.setPen(QPen(QColor(0x6E, 0x05, 0x00), 1.0));
        p.setBrush(red);
        p.drawEllipse(c, 8.4, 8.4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1.9, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(5.3, 5.8, 9.4, 9.4), 125 * 16, 290 * 16);
        p.drawLine(QPointF(10, 4.2), QPointF(10, 9.6));
    });
}

QImage DiscGlyph()
{
    return DrawScaled(37, 35, 1.0, [](QPainter& p) {
        p.resetTransform();
        const QPointF c(18.5, 17.0);
        const qreal r = 15.5;
        QRadialGradient silver(c - QPointF(5, 6), r * 1.5);
        silver.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
        silver.setColorAt(0.6, QColor(0xD2, 0xD8, 0xE0));
        silver.setColorAt(1.0, QColor(0x90, 0x9A, 0xA8));
        p.setPen(QPen(QColor(0x5E, 0x66, 0x72), 1.0));
        p.setBrush(silver);
        p.drawEllipse(c, r, r);
        QConicalGradient sheen(c, 30);
        const QColor colors[] = {QColor(255, 120, 120, 110), QColor(255, 230, 110, 110), QColor(120, 230, 140, 110),
                                 QColor(110, 180, 255, 110), QColor(200, 130, 255, 110), QColor(255, 120, 120, 110)};
        for (int i = 0; i < 6; ++i)
            sheen.setColorAt(i / 5.0, colors[i]);
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawEllipse(c, r - 1.5, r - 1.5);
        p.setBrush(QColor(255, 255, 255, 120));
        QPainterPath shine;
        shine.moveTo(c);
        shine.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 100, 35);
        shine.closeSubpath();
        shine.moveTo(c);
        shine.arcTo(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 280, 35);
        shine.closeSubpath();
        p.drawPath(shine);
        p.setPen(QPen(QColor(0x9C, 0xA6, 0xB4), 1.0));
        p.setBrush(QColor(0xEE, 0xF2, 0xF8, 220));
        p.drawEllipse(c, 5.5, 5.5);
        p.setPen(QPen(QColor(0x6A, 0x72, 0x80), 1.0));
        p.setBrush(QColor(0, 0, 0, 0));
        p.drawEllipse(c, 2.4, 2.4);
        // a small blue badge: the software being looked for
        QLinearGradient badge(QPointF(24, 23), QPointF(35, 34));
        badge.setColorAt(0.0, QColor(0x6D, 0xB2, 0xFF));
        badge.setColorAt(1.0, QColor(0x15, 0x50, 0xB8));
        p.setPen(QPen(QColor(0x0B, 0x33, 0x80), 1.0));
        p.setBrush(badge);
        p.drawRoundedRect(QRectF(24.5, 23.5, 11, 10), 2, 2);
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(30, 25.8), QPointF(30, 31));
        p.drawLine(QPointF(27.6, 28.8), QPointF(30, 31.2));
        p.drawLine(QPointF(32.4, 28.8), QPointF(30, 31.2));
    });
}

QImage OtherGlyph()
{
    return DrawScaled(40, 35, 1.0, [](QPainter& p) {
        p.resetTransform();
        PaintFolder(p, QRectF(2.5, 4.5, 33, 27), QColor(0xFF, 0xE8, 0x8C), QColor(0xF0, 0xB0, 0x28), QColor(0xA0, 0x6A, 0x00));
        // a book on the folder: forum texts, computer books
        QLinearGradient cover(QPointF(22, 16), QPointF(37, 31));
        cover.setColorAt(0.0, QColor(0x5A, 0xA0, 0xF5));
        cover.setColorAt(1.0, QColor(0x1A, 0x4C, 0xA8));
        p.setPen(QPen(QColor(0x10, 0x30, 0x78), 1.0));
        p.setBrush(QColor(0xFF, 0xFF, 0xF6));
        p.drawRect(QRectF(23.5, 17.5, 13, 16));
        p.setBrush(cover);
        p.drawRect(QRectF(22.5, 16.5, 12, 15.5));
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
        p.drawLine(QPointF(25.5, 21), QPointF(31.5, 21));
        p.drawLine(QPointF(25.5, 23.5), QPointF(30, 23.5));
        p.setPen(QPen(QColor(0x0C, 0x28, 0x66), 1.4));
        p.drawLine(QPointF(24, 17), QPointF(24, 31.5));
    });
}

QImage BrowserGlyph()
{
    return DrawScaled(36, 35, 1.0, [](QPainter& p) {
        p.resetTransform();
        const QRectF frame(1.5, 2.5, 33, 29);
        p.setPen(QPen(QColor(0x1A, 0x3E, 0x86), 1.0));
        p.setBrush(QColor(0xFF, 0xFF, 0xFF));
        p.drawRoundedRect(frame, 2.5, 2.5);
        QLinearGradient title(QPointF(0, 2), QPointF(0, 9));
        title.setColorAt(0.0, QColor(0x5E, 0x9C, 0xF4));
        title.setColorAt(1.0, QColor(0x1F, 0x5C, 0xD0));
        QPainterPath bar;
        bar.addRoundedRect(QRectF(1.5, 2.5, 33, 7), 2.5, 2.5);
        bar.addRect(QRectF(1.5, 6.5, 33, 3));
        p.setBrush(title);
        p.drawPath(bar.simplified());
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 3; ++i) {
            p.setBrush(i == 2 ? QColor(0xE8, 0x4A, 0x2A) : QColor(0xE8, 0xF0, 0xFF));
            p.drawEllipse(QPointF(24.5 + i * 3.5, 6.0), 1.2, 1.2);
        }
        QLinearGradient page(QPointF(0, 10), QPointF(0, 31));
        page.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
        page.setColorAt(1.0, QColor(0xE2, 0xEA, 0xF6));
        p.setBrush(page);
        p.drawRect(QRectF(2.5, 10, 31, 20.5));
        p.save();
        p.translate(8, 9.5);
        p.scale(0.66, 0.66);
        PaintQIcon(p, false);
        p.restore();
    });
}

QImage SpeedGlyph(void (*badge)(QPainter&))
{
    return DrawScaled(20, 20, 20, [badge](QPainter& p) {
        PaintBlueFolder(p);
        badge(p);
    });
}

// ---- banners ----

QFont Font(const QString& family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void PaintBannerBackground(QPainter& p, QRectF r, bool vertical)
{
    QLinearGradient sky(r.topLeft(), vertical ? r.bottomLeft() : r.bottomRight());
    sky.setColorAt(0.0, QColor(0x14, 0x3C, 0x96));
    sky.setColorAt(0.55, QColor(0x2A, 0x6C, 0xD6));
    sky.setColorAt(1.0, QColor(0x62, 0xA6, 0xF0));
    p.fillRect(r, sky);
    // soft light sweeping across, like the Luna title bars
    p.setPen(Qt::NoPen);
    QLinearGradient sweep(r.topLeft(), vertical ? r.topRight() : r.bottomLeft());
    sweep.setColorAt(0.0, QColor(255, 255, 255, 70));
    sweep.setColorAt(0.45, QColor(255, 255, 255, 0));
    p.setBrush(sweep);
    p.drawRect(r);
    p.setBrush(QColor(255, 255, 255, 22));
    if (vertical) {
        p.drawEllipse(QPointF(r.right(), r.bottom() - 30), 60, 60);
        p.drawEllipse(QPointF(r.left(), r.top() + 95), 34, 34);
    } else {
        p.drawEllipse(QPointF(r.right() - 20, r.bottom()), 70, 44);
        p.drawEllipse(QPointF(r.left() + 120, r.top() - 10), 60, 26);
    }
}

void ShadowedText(QPainter& p, QPointF at, const QString& text, const QFont& font, QColor color)
{
    p.setFont(font);
    p.setPen(QColor(0, 0x14, 0x46, 150));
    p.drawText(at + QPointF(1, 1), text);
    p.setPen(color);
    p.drawText(at, text);
}

} // namespace

QImage AppIcon(int size)
{
    const QImage image = DrawScaled(size, size, 32, [size](QPainter& p) { PaintQIcon(p, size <= 16); });
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray AppIconSvg()
{
    return QByteArray(R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <defs>
    <linearGradient id="handle" x1="20" y1="20" x2="30" y2="30" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#ffc855"/><stop offset="0.5" stop-color="#fa9216"/><stop offset="1" stop-color="#d46200"/>
    </linearGradient>
    <radialGradient id="sea" cx="9.45" cy="9" r="14.4" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#d8f1ff"/><stop offset="0.35" stop-color="#5cb4f0"/>
      <stop offset="0.8" stop-color="#1f74cc"/><stop offset="1" stop-color="#124e9e"/>
    </radialGradient>
    <linearGradient id="land" x1="4.5" y1="4.5" x2="22.5" y2="22.5" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#9be05a"/><stop offset="1" stop-color="#2e8b2a"/>
    </linearGradient>
    <linearGradient id="ring" x1="4" y1="4" x2="24" y2="24" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#4a86e0"/><stop offset="0.5" stop-color="#1a4fb0"/><stop offset="1" stop-color="#0b2a6e"/>
    </linearGradient>
    <clipPath id="globe"><circle cx="13.5" cy="13.5" r="9"/></clipPath>
  </defs>
  <line x1="21.2" y1="21.2" x2="28.6" y2="28.6" stroke="#8c3d00" stroke-width="6.2" stroke-linecap="round"/>
  <line x1="21.2" y1="21.2" x2="28.6" y2="28.6" stroke="url(#handle)" stroke-width="4.6" stroke-linecap="round"/>
  <circle cx="13.5" cy="13.5" r="9" fill="url(#sea)"/>
  <g clip-path="url(#globe)">
    <path fill="url(#land)" d="M6.75 10.35 C10.35 5.85 13.95 8.55 13.05 12.15 C12.15 15.3 8.55 13.95 8.1 18
      C5.4 16.2 4.5 12.6 6.75 10.35 Z M15.75 13.95 C19.8 12.15 22.05 16.2 18.9 20.25 C16.65 22.05 14.85 17.55 15.75 13.95 Z"/>
    <g fill="none" stroke="#ffffff" stroke-opacity="0.35" stroke-width="0.63">
      <ellipse cx="13.5" cy="13.5" rx="4.05" ry="9"/>
      <line x1="4.5" y1="13.5" x2="22.5" y2="13.5"/>
      <line x1="13.5" y1="4.5" x2="13.5" y2="22.5"/>
    </g>
  </g>
  <circle cx="13.5" cy="13.5" r="10.3" fill="none" stroke="#061d50" stroke-width="3.9"/>
  <circle cx="13.5" cy="13.5" r="10.3" fill="none" stroke="url(#ring)" stroke-width="2.8"/>
  <path d="M11.71 3.36 A10.3 10.3 0 0 0 3.36 11.71" fill="none" stroke="#ffffff" stroke-opacity="0.67"
        stroke-width="0.9" stroke-linecap="round"/>
  <path d="M11.69 6.74 A7 7 0 0 0 7.16 10.54" fill="none" stroke="#ffffff" stroke-opacity="0.47"
        stroke-width="1.6" stroke-linecap="round"/>
</svg>
)svg");
}

QImage MainBanner()
{
    QImage image(214, 60, QImage::Format_RGB32);
    QPainter p(&image);
    Smooth(p);
    PaintBannerBackground(p, QRectF(0, 0, 214, 60), false);
    p.save();
    p.translate(7, 7);
    p.scale(46 / 32.0, 46 / 32.0);
    PaintQIcon(p, false);
    p.restore();
    ShadowedText(p, QPointF(61, 28), QStringLiteral("QUELM"), Font(kLatinFamily, 25, true), Qt::white);
    ShadowedText(p, QPointF(61, 52), QStringLiteral("搜索寻踪客"), Font(kChineseFamily, 22, true), QColor(0xFF, 0xE0, 0x8A));
    return image;
}

QImage AboutBanner()
{
    QImage image(62, 216, QImage::Format_RGB32);
    QPainter p(&image);
    Smooth(p);
    PaintBannerBackground(p, QRectF(0, 0, 62, 216), true);
    p.save();
    p.translate(12, 8);
    p.scale(38 / 32.0, 38 / 32.0);
    PaintQIcon(p, false);
    p.restore();

    // Latin name turned to read downwards, the Chinese name stacked beside it
    const QFont latin = Font(kLatinFamily, 17, true);
    p.save();
    p.translate(9, 58);
    p.rotate(90);
    ShadowedText(p, QPointF(0, -1), QStringLiteral("QUELM"), latin, Qt::white);
    p.restore();

    const QFont chinese = Font(kChineseFamily, 21, true);
    const QString name = QStringLiteral("搜索寻踪客");
    const QFontMetrics metrics(chinese);
    for (int i = 0; i < name.size(); ++i) {
        const QString ch = name.mid(i, 1);
        const qreal x = 31 + (22 - metrics.horizontalAdvance(ch)) / 2.0;
        ShadowedText(p, QPointF(x, 74 + i * 27), ch, chinese, QColor(0xFF, 0xE0, 0x8A));
    }
    return image;
}

std::vector<Glyph> Glyphs()
{
    const QImage globe = DrawScaled(40, 40, 32, [](QPainter& p) { PaintQIcon(p, false); });
    return {
        {QStringLiteral("N9"), Flatten(globe), 24},
        {QStringLiteral("N10"), Flatten(MusicGlyph()), 16},
        {QStringLiteral("N11"), Flatten(DiscGlyph()), 24},
        {QStringLiteral("N12"), Flatten(OtherGlyph()), 24},
        {QStringLiteral("Quelm1"), Flatten(BrowserGlyph()), 24},
        {QStringLiteral("N16"), Flatten(DownloadGlyph()), 16},
        {QStringLiteral("N14"), Flatten(ExitGlyph()), 16},
        {QStringLiteral("sb1"), Flatten(SpeedGlyph(&PaintHouse)), 24},
        {QStringLiteral("SpeedButton1"), Flatten(SpeedGlyph(&PaintStopBand)), 24},
        {QStringLiteral("go"), Flatten(SpeedGlyph(&PaintGreenGlobe)), 24},
    };
}

QImage ContactSheet(const QImage& button, const QImage& check, const QImage& radio, const QImage& cursor)
{
    QImage sheet(1100, 2000, QImage::Format_RGB32);
    sheet.fill(QColor(0xF8, 0xF6, 0xE6));
    QPainter p(&sheet);
    p.setFont(Font(kLatinFamily, 12, false));
    int x = 10, y = 10, rowHeight = 0;
    auto place = [&](const QString& label, const QImage& image, int zoom) {
        const int w = image.width() * zoom, h = image.height() * zoom;
        if (x + w > sheet.width() - 10) {
            x = 10;
            y += rowHeight + 24;
            rowHeight = 0;
        }
        p.setPen(Qt::black);
        p.drawText(x, y + 12, QStringLiteral("%1 (x%2)").arg(label).arg(zoom));
        // checkerboard shows transparency
        for (int cy = 0; cy < h; cy += 8)
            for (int cx = 0; cx < w; cx += 8)
                p.fillRect(x + cx, y + 16 + cy, std::min(8, w - cx), std::min(8, h - cy),
                           ((cx + cy) / 8) % 2 ? QColor(0xCC, 0xCC, 0xCC) : QColor(0xFF, 0xFF, 0xFF));
        p.drawImage(QRect(x, y + 16, w, h), image);
        x += std::max(w, 110) + 12;
        rowHeight = std::max(rowHeight, h + 16);
    };
    place(QStringLiteral("XPBUTTON"), button, 8);
    place(QStringLiteral("XPCHECKBOX"), check, 8);
    place(QStringLiteral("XPRADIOBOX"), radio, 8);
    place(QStringLiteral("XPHANDCUR"), cursor, 6);
    place(QStringLiteral("XPHANDCUR"), cursor, 1);
    // glyphs as the menus and buttons show them: background left out
    for (const Glyph& glyph : Glyphs()) {
        QImage keyed = glyph.image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = keyed.pixel(0, keyed.height() - 1);
        for (int y = 0; y < keyed.height(); ++y)
            for (int x = 0; x < keyed.width(); ++x)
                if (keyed.pixel(x, y) == key)
                    keyed.setPixel(x, y, 0);
        place(glyph.name, keyed, 4);
    }
    for (const Glyph& glyph : Glyphs())
        place(glyph.name, glyph.image, 1);
    for (int size : {16, 24, 32, 48})
        place(QStringLiteral("icon %1").arg(size), AppIcon(size), 1);
    place(QStringLiteral("icon 16"), AppIcon(16), 6);
    place(QStringLiteral("icon 32"), AppIcon(32), 4);
    place(QStringLiteral("icon 256"), AppIcon(256), 1);
    place(QStringLiteral("banner_main"), MainBanner(), 1);
    place(QStringLiteral("banner_main"), MainBanner(), 3);
    place(QStringLiteral("banner_about"), AboutBanner(), 1);
    place(QStringLiteral("banner_about"), AboutBanner(), 2);
    return sheet;
}

} // namespace Artwork
