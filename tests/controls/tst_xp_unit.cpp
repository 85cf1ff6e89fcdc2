#include "controls/ScreenCursors.h"
#include "controls/XP_Unit.h"

#include <QApplication>
#include <QPalette>
#include <QSet>
#include <QtMath>
#include <QtTest>

#include <cstring>

namespace {

bool g_handRegisteredBeforeApp = false;

QImage Filled(int w, int h, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

// Every pixel different, so that a mapping error shows as a wrong colour.
QImage UniqueSkin(int w, int h)
{
    QImage skin(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            skin.setPixel(x, y, qRgb(x * 10, y * 10, 77));
    return skin;
}

// A cursor resource of the given size with bits set by the two callbacks.
QByteArray CursorResource(int size, QPoint hot, bool (*andBit)(int, int), bool (*xorBit)(int, int), int bitCount = 1)
{
    QByteArray out;
    auto put16 = [&](quint16 v) { out.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xFFFF)); put16(quint16(v >> 16)); };
    put16(quint16(hot.x()));
    put16(quint16(hot.y()));
    for (quint32 v : {40u, quint32(size), quint32(size * 2)})
        put32(v);
    put16(1);
    put16(quint16(bitCount));
    for (int i = 0; i < 6; ++i)
        put32(0);
    put32(0x000000);
    put32(0xFFFFFF);
    const int stride = ((size + 31) / 32) * 4;
    for (auto bit : {xorBit, andBit}) {
        for (int y = size - 1; y >= 0; --y) {
            QByteArray row(stride, '\0');
            for (int x = 0; x < size; ++x)
                if (bit(x, y))
                    row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
            out.append(row);
        }
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(TRect)

class TestXpUnit final : public QObject
{
    Q_OBJECT

private slots:
    void pointInRect_data();
    void pointInRect();
    void colourConversion();
    void grayColor_data();
    void grayColor();
    void grayColorTrueColourSurfaces();
    void grayColorIndexedSurfaceTakesNearestEntry();
    void grayColorOfSystemColourFollowsPalette();
    void grayBitmap();
    void grayBitmapKeepsAlpha();
    void grayBitmapOfEmptyImage();
    void drawMonoGlyph();
    void drawMonoGlyphAllKeyDrawsNothing();
    void drawMonoGlyphSingleTopRightPixel();
    void drawMonoGlyphSkipsTransparentPixels();
    void drawMonoGlyphClipsAndResolvesSystemColour();
    void getSkinFrame_data();
    void getSkinFrame();
    void getSkinFrameOfButtonStrip();
    void drawSkinStretched_data();
    void drawSkinStretched();
    void drawSkinStretchedSameSizeIsIdentity();
    void drawSkinStretchedLeavesOutsideUntouched();
    void drawSkinStretchedSmallerThanSkin_data();
    void drawSkinStretchedSmallerThanSkin();
    void drawSkinStretchedEvenHeight();
    void drawSkinStretchedEmptyRect_data();
    void drawSkinStretchedEmptyRect();
    void drawSkinStretchedIsOpaqueOnAlphaCanvas();
    void enlargeSkin_data();
    void enlargeSkin();
    void loadSkinStrip();
    void loadSkinStripGivesTheDecodedResourceEveryTime();
    void cursorTableDefaultsToArrow();
    void cursorTableRegisterAndRemove();
    void decodeCursorResource();
    void decodeCursorResourceRejectsBrokenData_data();
    void decodeCursorResourceRejectsBrokenData();
    void registerFromMissingResourceRegistersNothing();
    void startupRegisteredHandBeforeApplication();
};

void TestXpUnit::pointInRect_data()
{
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<bool>("inside");
    QTest::newRow("top-left corner") << 0 << 0 << true;
    QTest::newRow("bottom-right corner") << 75 << 24 << true;
    QTest::newRow("top-right corner") << 75 << 0 << true;
    QTest::newRow("middle") << 30 << 12 << true;
    QTest::newRow("left of it") << -1 << 0 << false;
    QTest::newRow("right of it") << 76 << 10 << false;
    QTest::newRow("below it") << 10 << 25 << false;
    QTest::newRow("above it") << 10 << -1 << false;
}

void TestXpUnit::pointInRect()
{
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(bool, inside);
    QCOMPARE(PointInRect(TRect{0, 0, 75, 24}, x, y), inside);
}

void TestXpUnit::colourConversion()
{
    QCOMPARE(ColorToRGB(clWindowBackground), qRgb(248, 246, 230));
    QCOMPARE(ColorToRGB(clRed), qRgb(255, 0, 0));
    QCOMPARE(ColorToRGB(clPurple), qRgb(128, 0, 128));
    QCOMPARE(RGBToColor(qRgb(248, 246, 230)), clWindowBackground);
    QCOMPARE(RGBToColor(qRgb(0, 0, 255)), TColor(0xFF0000));
}

void TestXpUnit::grayColor_data()
{
    QTest::addColumn<TColor>("colour");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QRgb>("grey");
    QTest::newRow("white, offset 0") << clWhite << 0 << qRgb(0xF0, 0xF0, 0xF0);
    QTest::newRow("white, offset 30") << clWhite << 30 << qRgb(0xF0, 0xF0, 0xF0);
    QTest::newRow("white, offset 150") << clWhite << 150 << qRgb(0xF0, 0xF0, 0xF0);
    QTest::newRow("black, offset 30") << clBlack << 30 << qRgb(0x1E, 0x1E, 0x1E);
    QTest::newRow("black, offset 150 capped at 100") << clBlack << 150 << qRgb(0x64, 0x64, 0x64);
    QTest::newRow("red, offset 30") << clRed << 30 << qRgb(0x73, 0x73, 0x73);
    QTest::newRow("red, offset 150") << clRed << 150 << qRgb(185, 185, 185);
    QTest::newRow("average drops the remainder") << RGBToColor(qRgb(1, 1, 2)) << 0 << qRgb(1, 1, 1);
    QTest::newRow("level just under the cap") << RGBToColor(qRgb(200, 210, 220)) << 30 << qRgb(240, 240, 240);
    QTest::newRow("negative offset keeps the low byte") << clBlack << -30 << qRgb(226, 226, 226);
}

void TestXpUnit::grayColor()
{
    QFETCH(TColor, colour);
    QFETCH(int, offset);
    QFETCH(QRgb, grey);
    QCOMPARE(ColorToRGB(GrayColor(Filled(1, 1, 0xFF000000u), colour, offset)), grey);
}

void TestXpUnit::grayColorTrueColourSurfaces()
{
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                  QImage::Format_RGB888}) {
        const QImage canvas = Filled(2, 2, 0xFF000000u, format);
        QCOMPARE(GrayColor(canvas, clRed, 30), TColor(0x737373));
    }
}

void TestXpUnit::grayColorIndexedSurfaceTakesNearestEntry()
{
    QImage canvas(2, 2, QImage::Format_Indexed8);
    canvas.setColorTable({qRgb(0, 0, 0), qRgb(0xFF, 0xFF, 0xFF), qRgb(0x80, 0x80, 0x80)});
    canvas.fill(0);
    QCOMPARE(GrayColor(canvas, clWhite, 30), clWhite);             // #F0F0F0 is nearest to white
    QCOMPARE(GrayColor(canvas, clRed, 30), TColor(0x808080));       // #737373 nearest to #808080
    QCOMPARE(GrayColor(canvas, clBlack, 10), clBlack);              // #0A0A0A nearest to black
}

void TestXpUnit::grayColorOfSystemColourFollowsPalette()
{
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Button, QColor(200, 100, 0));
    QGuiApplication::setPalette(palette);
    QCOMPARE(ColorToRGB(clBtnFace), qRgb(200, 100, 0));
    QCOMPARE(GrayColor(Filled(1, 1, 0xFF000000u), clBtnFace, 30), TColor(0x828282));  // 100 + 30
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    QGuiApplication::setPalette(palette);
    QCOMPARE(GrayColor(Filled(1, 1, 0xFF000000u), clBtnFace, 30), TColor(0x323232));  // 20 + 30
    QGuiApplication::setPalette(saved);
}

void TestXpUnit::grayBitmap()
{
    // Black at the top left, then runs and alternations further on: every pixel ends up the grey
    // of its own colour, whatever the pixel before it was.
    const QRgb k = qRgb(0, 0, 0), w = qRgb(255, 255, 255), r = qRgb(255, 0, 0);
    const QRgb rows[3][5] = {{k, k, w, w, r}, {w, k, w, r, k}, {r, r, k, k, k}};
    QImage bitmap(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            bitmap.setPixel(x, y, rows[y][x]);
    GrayBitmap(bitmap, 30);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const QRgb expected = rows[y][x] == k ? qRgb(0x1E, 0x1E, 0x1E)
                                : rows[y][x] == w ? qRgb(0xF0, 0xF0, 0xF0) : qRgb(0x73, 0x73, 0x73);
            QCOMPARE(bitmap.pixel(x, y), expected);
        }
    }

    // On a bitmap with a colour table the greys are the table's nearest entries, and the table stays.
    QImage indexed(3, 1, QImage::Format_Indexed8);
    const QList<QRgb> table{k, w, qRgb(0x20, 0x20, 0x20), qRgb(0x70, 0x70, 0x70), r};
    indexed.setColorTable(table);
    for (int x = 0; x < 3; ++x)
        indexed.setPixel(x, 0, uint(QList<int>{0, 1, 4}.at(x)));  // black, white, red
    GrayBitmap(indexed, 30);
    QCOMPARE(indexed.colorTable(), table);
    QCOMPARE(indexed.pixelIndex(0, 0), 2);  // #1E1E1E
    QCOMPARE(indexed.pixelIndex(1, 0), 1);  // #F0F0F0
    QCOMPARE(indexed.pixelIndex(2, 0), 3);  // #737373
}

void TestXpUnit::grayBitmapKeepsAlpha()
{
    QImage bitmap(2, 1, QImage::Format_ARGB32);
    bitmap.setPixel(0, 0, qRgba(255, 0, 0, 255));
    bitmap.setPixel(1, 0, qRgba(255, 0, 0, 0));
    GrayBitmap(bitmap, 30);
    QCOMPARE(bitmap.pixel(0, 0), qRgba(0x73, 0x73, 0x73, 255));
    QCOMPARE(qAlpha(bitmap.pixel(1, 0)), 0);
}

void TestXpUnit::grayBitmapOfEmptyImage()
{
    QImage null;
    GrayBitmap(null, 30);
    QVERIFY(null.isNull());
    QImage empty(0, 0, QImage::Format_RGB32);
    GrayBitmap(empty, 30);
    QCOMPARE(empty.size(), QSize(0, 0));
}

void TestXpUnit::drawMonoGlyph()
{
    // Inner detail is lost: both non-key colours come out in the one ink.
    QImage glyph = Filled(3, 3, qRgb(0, 255, 0));
    glyph.setPixel(1, 1, qRgb(255, 0, 0));
    glyph.setPixel(2, 0, qRgb(0, 0, 255));
    QImage canvas = Filled(6, 6, qRgb(1, 2, 3));
    DrawMonoGlyph(glyph, canvas, 2, 1, clPurple);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inked = (x == 3 && y == 2) || (x == 4 && y == 1);
            QCOMPARE(canvas.pixel(x, y), inked ? qRgb(128, 0, 128) : qRgb(1, 2, 3));
        }
    }
}

void TestXpUnit::drawMonoGlyphAllKeyDrawsNothing()
{
    const QImage glyph = Filled(4, 4, qRgb(9, 9, 9));
    QImage canvas = Filled(4, 4, qRgb(50, 60, 70));
    const QImage before = canvas;
    DrawMonoGlyph(glyph, canvas, 0, 0, clRed);
    QCOMPARE(canvas, before);
    QImage empty;
    DrawMonoGlyph(empty, canvas, 0, 0, clRed);
    QCOMPARE(canvas, before);
}

void TestXpUnit::drawMonoGlyphSingleTopRightPixel()
{
    QImage glyph = Filled(5, 4, qRgb(0, 0, 0));
    glyph.setPixel(4, 0, qRgb(255, 255, 255));
    QImage canvas = Filled(10, 10, qRgb(50, 60, 70));
    DrawMonoGlyph(glyph, canvas, 3, 2, clRed);
    int changed = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            changed += canvas.pixel(x, y) != qRgb(50, 60, 70);
    QCOMPARE(changed, 1);
    QCOMPARE(canvas.pixel(7, 2), qRgb(255, 0, 0));
}

void TestXpUnit::drawMonoGlyphSkipsTransparentPixels()
{
    QImage glyph(3, 1, QImage::Format_ARGB32);
    glyph.setPixel(0, 0, qRgba(0, 0, 0, 0));
    glyph.setPixel(1, 0, qRgba(255, 255, 255, 0));  // transparent, but not the key's colour
    glyph.setPixel(2, 0, qRgba(10, 20, 30, 255));
    QImage canvas = Filled(3, 1, qRgb(50, 60, 70));
    DrawMonoGlyph(glyph, canvas, 0, 0, clRed);
    QCOMPARE(canvas.pixel(0, 0), qRgb(50, 60, 70));
    QCOMPARE(canvas.pixel(1, 0), qRgb(50, 60, 70));
    QCOMPARE(canvas.pixel(2, 0), qRgb(255, 0, 0));
}

void TestXpUnit::drawMonoGlyphClipsAndResolvesSystemColour()
{
    QImage glyph = Filled(4, 4, qRgb(255, 255, 255));
    glyph.fill(qRgb(0, 0, 0));
    glyph.setPixel(0, 3, qRgb(255, 255, 255));  // the key; everything else is drawn
    QImage canvas = Filled(3, 3, qRgb(50, 60, 70));
    DrawMonoGlyph(glyph, canvas, -2, -2, clBtnFace);
    const QRgb face = ColorToRGB(clBtnFace);
    QCOMPARE(canvas.pixel(0, 0), face);
    QCOMPARE(canvas.pixel(1, 1), face);
    QCOMPARE(canvas.pixel(2, 1), qRgb(50, 60, 70));
}

void TestXpUnit::getSkinFrame_data()
{
    QTest::addColumn<QSize>("strip");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<QRect>("source");
    QTest::newRow("first of five") << QSize(90, 21) << 5 << 1 << true << QRect(0, 0, 18, 21);
    QTest::newRow("last of five") << QSize(90, 21) << 5 << 5 << true << QRect(72, 0, 18, 21);
    QTest::newRow("remainder columns belong to no frame") << QSize(20, 4) << 3 << 3 << true << QRect(12, 0, 6, 4);
    QTest::newRow("stacked") << QSize(4, 12) << 3 << 2 << false << QRect(0, 4, 4, 4);
    QTest::newRow("stacked with remainder") << QSize(4, 14) << 3 << 3 << false << QRect(0, 8, 4, 4);
}

void TestXpUnit::getSkinFrame()
{
    QFETCH(QSize, strip);
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(bool, horizontal);
    QFETCH(QRect, source);
    const QImage skin = UniqueSkin(strip.width(), strip.height());
    const QImage before = skin;
    QImage frame = Filled(1, 1, 0);
    GetSkinFrame(skin, frame, count, index, horizontal);
    QCOMPARE(frame.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            QCOMPARE(frame.pixel(x, y), skin.pixel(source.x() + x, source.y() + y));
    QCOMPARE(skin, before);
}

void TestXpUnit::getSkinFrameOfButtonStrip()
{
    const QImage strip = LoadSkinStrip("XPBUTTON");
    QCOMPARE(strip.size(), QSize(90, 21));
    QImage frame;
    GetSkinFrame(strip, frame, 5, 5, true);
    QCOMPARE(frame.size(), QSize(18, 21));
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 18; ++x)
            QCOMPARE(frame.pixel(x, y), strip.pixel(72 + x, y));
    // an index outside 1..Count still gives a frame of the frame size and leaves the strip alone
    for (int outside : {0, 6}) {
        GetSkinFrame(strip, frame, 5, outside, true);
        QCOMPARE(frame.size(), QSize(18, 21));
    }
    GetSkinFrame(strip, frame, 0, 1, true);
    QVERIFY(frame.isNull());
    // the 8-bit strips come out as ordinary 32-bit frames with the same colours
    const QImage check = LoadSkinStrip("XPCHECKBOX");
    GetSkinFrame(check, frame, 6, 2, true);
    QCOMPARE(frame.size(), QSize(13, 13));
    QCOMPARE(frame.format(), QImage::Format_RGB32);
    QCOMPARE(frame.pixel(6, 6), check.pixel(13 + 6, 6));
}

void TestXpUnit::drawSkinStretched_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("main window button 161 x 32") << QSize(161, 32);
    QTest::newRow("dialog button 75 x 24") << QSize(75, 24);
    QTest::newRow("one row and column more") << QSize(19, 22);
}

void TestXpUnit::drawSkinStretched()
{
    QFETCH(QSize, size);
    const QImage skin = UniqueSkin(18, 21);
    QImage canvas = Filled(size.width(), size.height(), 0xFF123456u);
    DrawSkinStretched(skin, canvas, TRect{0, 0, size.width(), size.height()});
    for (int y = 0; y < size.height(); ++y) {
        // rows 0-9 top, the last 11 rows from skin rows 10-20, row 10 repeated between
        const int sy = y < 10 ? y : y >= size.height() - 11 ? y - (size.height() - 21) : 10;
        for (int x = 0; x < size.width(); ++x) {
            // columns 0-8 left, the last 9 columns from skin columns 9-17, column 9 repeated between
            const int sx = x < 9 ? x : x >= size.width() - 9 ? x - (size.width() - 18) : 9;
            QCOMPARE(canvas.pixel(x, y), skin.pixel(sx, sy));
        }
    }
    if (size == QSize(161, 32)) {
        QCOMPARE(canvas.pixel(151, 5), skin.pixel(9, 5));
        QCOMPARE(canvas.pixel(152, 5), skin.pixel(9, 5));
        QCOMPARE(canvas.pixel(160, 31), skin.pixel(17, 20));
        QCOMPARE(canvas.pixel(5, 20), skin.pixel(5, 10));
        QCOMPARE(canvas.pixel(5, 21), skin.pixel(5, 10));
        QCOMPARE(canvas.pixel(5, 22), skin.pixel(5, 11));
    } else if (size == QSize(75, 24)) {
        QCOMPARE(canvas.pixel(65, 0), skin.pixel(9, 0));
        QCOMPARE(canvas.pixel(66, 0), skin.pixel(9, 0));
        QCOMPARE(canvas.pixel(67, 0), skin.pixel(10, 0));
        QCOMPARE(canvas.pixel(0, 12), skin.pixel(0, 10));
        QCOMPARE(canvas.pixel(0, 13), skin.pixel(0, 10));
        QCOMPARE(canvas.pixel(0, 14), skin.pixel(0, 11));
    }
}

void TestXpUnit::drawSkinStretchedSameSizeIsIdentity()
{
    const QImage strip = LoadSkinStrip("XPBUTTON");
    for (int index = 1; index <= 5; ++index) {
        QImage frame;
        GetSkinFrame(strip, frame, 5, index, true);
        QImage canvas = Filled(18, 21, 0);
        DrawSkinStretched(frame, canvas, TRect{0, 0, 18, 21});
        QCOMPARE(canvas, frame);
    }
    const QImage odd = UniqueSkin(7, 5);
    QImage canvas = Filled(7, 5, 0);
    DrawSkinStretched(odd, canvas, TRect{0, 0, 7, 5});
    QCOMPARE(canvas, odd);
}

void TestXpUnit::drawSkinStretchedLeavesOutsideUntouched()
{
    const QImage skin = UniqueSkin(18, 21);
    const QRgb sentinel = qRgb(1, 2, 3);
    QImage canvas = Filled(100, 60, sentinel);
    const TRect rect{5, 7, 80, 31};
    DrawSkinStretched(skin, canvas, rect);
    QImage alone = Filled(75, 24, 0);
    DrawSkinStretched(skin, alone, TRect{0, 0, 75, 24});
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 5 && x < 80 && y >= 7 && y < 31;
            QCOMPARE(canvas.pixel(x, y), inside ? alone.pixel(x - 5, y - 7) : sentinel);
        }
    }
    // a rectangle hanging over the canvas edge is clipped
    QImage small = Filled(20, 20, sentinel);
    DrawSkinStretched(skin, small, TRect{-5, -5, 70, 19});
    QCOMPARE(small.pixel(0, 0), alone.pixel(5, 5));
    QCOMPARE(small.pixel(19, 19), sentinel);
    QCOMPARE(small.pixel(19, 18), alone.pixel(24, 23));
}

void TestXpUnit::drawSkinStretchedSmallerThanSkin_data()
{
    // Worked through the steps: later steps overwrite earlier ones.
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QVector<int>>("columns");
    QTest::addColumn<QVector<int>>("rows");
    QTest::newRow("narrower: left part, then the last column")
        << QSize(10, 21) << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 17}
        << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    QTest::newRow("lower: the bottom block overlaps the top")
        << QSize(18, 15) << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}
        << QVector<int>{0, 1, 2, 3, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    QTest::newRow("tiny: left columns of the bottom rows")
        << QSize(3, 5) << QVector<int>{0, 1, 2} << QVector<int>{16, 17, 18, 19, 20};
    QTest::newRow("exactly half plus one") << QSize(10, 11) << QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 17}
                                           << QVector<int>{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
}

void TestXpUnit::drawSkinStretchedSmallerThanSkin()
{
    QFETCH(QSize, size);
    QFETCH(QVector<int>, columns);
    QFETCH(QVector<int>, rows);
    const QImage skin = UniqueSkin(18, 21);
    QImage canvas = Filled(size.width(), size.height(), 0);
    DrawSkinStretched(skin, canvas, TRect{0, 0, size.width(), size.height()});
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            QCOMPARE(canvas.pixel(x, y), skin.pixel(columns[x], rows[y]));
}

void TestXpUnit::drawSkinStretchedEvenHeight()
{
    // Height 4: the two bottom rows are stretched over three; first and last stay in order.
    const QImage skin = UniqueSkin(5, 4);
    QImage canvas = Filled(5, 6, 0);
    DrawSkinStretched(skin, canvas, TRect{0, 0, 5, 6});
    for (int x = 0; x < 5; ++x) {
        QCOMPARE(canvas.pixel(x, 0), skin.pixel(x, 0));
        QCOMPARE(canvas.pixel(x, 1), skin.pixel(x, 1));
        QCOMPARE(canvas.pixel(x, 2), skin.pixel(x, 2));
        QCOMPARE(canvas.pixel(x, 3), skin.pixel(x, 2));
        QCOMPARE(canvas.pixel(x, 5), skin.pixel(x, 3));
    }
}

void TestXpUnit::drawSkinStretchedEmptyRect_data()
{
    QTest::addColumn<TRect>("rect");
    QTest::newRow("zero width") << TRect{3, 3, 3, 10};
    QTest::newRow("zero height") << TRect{3, 3, 10, 3};
    QTest::newRow("negative width") << TRect{10, 0, 2, 10};
    QTest::newRow("negative height") << TRect{0, 10, 10, 2};
}

void TestXpUnit::drawSkinStretchedEmptyRect()
{
    QFETCH(TRect, rect);
    QImage canvas = Filled(12, 12, qRgb(4, 5, 6));
    const QImage before = canvas;
    DrawSkinStretched(UniqueSkin(18, 21), canvas, rect);
    QCOMPARE(canvas, before);
    QImage none;
    DrawSkinStretched(QImage(), canvas, TRect{0, 0, 12, 12});
    QCOMPARE(canvas, before);
    DrawSkinStretched(UniqueSkin(18, 21), none, TRect{0, 0, 12, 12});
    QVERIFY(none.isNull());
}

void TestXpUnit::drawSkinStretchedIsOpaqueOnAlphaCanvas()
{
    QImage canvas(30, 30, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    DrawSkinStretched(UniqueSkin(18, 21), canvas, TRect{0, 0, 30, 30});
    QCOMPARE(canvas.pixel(0, 0), UniqueSkin(18, 21).pixel(0, 0));
    QCOMPARE(qAlpha(canvas.pixel(29, 29)), 255);
}

void TestXpUnit::enlargeSkin_data()
{
    QTest::addColumn<qreal>("ratio");
    for (qreal ratio : {1.25, 1.5, 1.75, 2.0, 3.0})
        QTest::newRow(qPrintable(QString::number(ratio))) << ratio;
}

void TestXpUnit::enlargeSkin()
{
    QFETCH(qreal, ratio);
    QImage frame;
    GetSkinFrame(LoadSkinStrip("XPBUTTON"), frame, 5, 4, true);
    QImage face(161, 32, QImage::Format_RGB32);
    DrawSkinStretched(frame, face, {0, 0, 161, 32});
    const QSize size(qRound(161 * ratio), qRound(32 * ratio));
    const QImage big = EnlargeSkin(face, ratio, size);
    QCOMPARE(big.devicePixelRatio(), ratio);
    QCOMPARE(big.size(), size);

    // No pixel blended; at whole ratios each pixel a block; and as the face is the same from the
    // left as from the right, so is the enlargement: both rims equally wide, no seam in the middle.
    QSet<QRgb> colours;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x)
            colours.insert(face.pixel(x, y));
    const int k = int(ratio);
    int blended = 0, offBlock = 0, unlike = 0;
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x) {
            blended += !colours.contains(big.pixel(x, y));
            offBlock += k == ratio && big.pixel(x, y) != face.pixel(x / k, y / k);
            unlike += big.pixel(x, y) != big.pixel(big.width() - 1 - x, y);
        }
    }
    QCOMPARE(blended, 0);
    QCOMPARE(offBlock, 0);
    QCOMPARE(unlike, 0);
}

void TestXpUnit::loadSkinStrip()
{
    QCOMPARE(LoadSkinStrip("XPBUTTON").size(), QSize(90, 21));
    QCOMPARE(LoadSkinStrip("XPCHECKBOX").size(), QSize(78, 13));
    QCOMPARE(LoadSkinStrip("XPRADIOBOX").size(), QSize(78, 13));
    QVERIFY(LoadSkinStrip("NOSUCHSKIN").isNull());
    // afresh: changing one copy leaves the next load alone
    QImage strip = LoadSkinStrip("XPBUTTON");
    strip.fill(0);
    QVERIFY(LoadSkinStrip("XPBUTTON").pixel(9, 0) != strip.pixel(9, 0));
}

void TestXpUnit::loadSkinStripGivesTheDecodedResourceEveryTime()
{
    for (const char* name : {"XPBUTTON", "XPCHECKBOX", "XPRADIOBOX"}) {
        LoadSkinStrip(name);
        const QImage decoded(QStringLiteral(":/skins/%1.bmp").arg(QLatin1String(name)), "BMP");
        QVERIFY(!decoded.isNull());
        for (int load = 0; load < 3; ++load) {
            const QImage strip = LoadSkinStrip(name);
            QCOMPARE(strip.format(), decoded.format());
            QCOMPARE(strip.colorTable(), decoded.colorTable());
            QCOMPARE(strip, decoded);
        }
        // writing through one copy's pixels or palette leaves the strip of every later paint alone
        QImage changed = LoadSkinStrip(name);
        std::memset(changed.bits(), 0x5A, size_t(changed.sizeInBytes()));
        if (changed.colorCount() > 0)
            changed.setColor(0, qRgb(1, 2, 3));
        QVERIFY(changed != decoded);
        QCOMPARE(LoadSkinStrip(name), decoded);
    }
    // a frame cut beyond an 8-bit strip is black there, as a cut from the converted strip is
    QImage frame;
    GetSkinFrame(LoadSkinStrip("XPCHECKBOX"), frame, 6, 7, true);
    QCOMPARE(frame.size(), QSize(13, 13));
    QCOMPARE(frame.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(frame.pixel(12, 12), qRgb(0, 0, 0));
}

void TestXpUnit::cursorTableDefaultsToArrow()
{
    QVERIFY(!ScreenCursors::IsRegistered(12345));
    QCOMPARE(ScreenCursors::Cursor(12345).shape(), Qt::ArrowCursor);
    QCOMPARE(ScreenCursors::Cursor(-1).shape(), Qt::ArrowCursor);
}

void TestXpUnit::cursorTableRegisterAndRemove()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::black);
    ScreenCursors::Register(300, image, QPoint(3, 4));
    QVERIFY(ScreenCursors::IsRegistered(300));
    const QCursor cursor = ScreenCursors::Cursor(300);
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(3, 4));
    QCOMPARE(cursor.pixmap().size(), QSize(16, 16));
    ScreenCursors::Register(300, QImage(), QPoint());
    QVERIFY(!ScreenCursors::IsRegistered(300));
    QCOMPARE(ScreenCursors::Cursor(300).shape(), Qt::ArrowCursor);
}

void TestXpUnit::decodeCursorResource()
{
    // (1, 0) white, (0, 1) black, (2, 2) inverting, everything else transparent.
    const QByteArray data = CursorResource(
        32, QPoint(5, 6), [](int x, int y) { return !((x == 1 && y == 0) || (x == 0 && y == 1)); },
        [](int x, int y) { return (x == 1 && y == 0) || (x == 2 && y == 2); });
    QCOMPARE(data.size(), 308);
    const auto cursor = ScreenCursors::DecodeCursorResource(data);
    QVERIFY(cursor);
    QCOMPARE(cursor->hotSpot, QPoint(5, 6));
    QCOMPARE(cursor->image.size(), QSize(32, 32));
    QCOMPARE(cursor->image.pixel(1, 0), qRgba(255, 255, 255, 255));
    QCOMPARE(cursor->image.pixel(0, 1), qRgba(0, 0, 0, 255));
    QCOMPARE(qAlpha(cursor->image.pixel(2, 2)), 255);
    QCOMPARE(qAlpha(cursor->image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(cursor->image.pixel(31, 31)), 0);
}

void TestXpUnit::decodeCursorResourceRejectsBrokenData_data()
{
    auto none = [](int, int) { return false; };
    const QByteArray good = CursorResource(32, QPoint(7, 1), none, none);
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << good.left(44);
    QTest::newRow("AND mask cut short") << good.left(307);
    QByteArray badHeader = good;
    badHeader[4] = 12;
    QTest::newRow("old-style header") << badHeader;
    QTest::newRow("colour image") << CursorResource(32, QPoint(7, 1), none, none, 4);
    QByteArray oddHeight = good;
    oddHeight[12] = 63;
    QTest::newRow("odd doubled height") << oddHeight;
    QByteArray zeroWidth = good;
    zeroWidth[8] = 0;
    QTest::newRow("zero width") << zeroWidth;
}

void TestXpUnit::decodeCursorResourceRejectsBrokenData()
{
    QFETCH(QByteArray, data);
    QVERIFY(!ScreenCursors::DecodeCursorResource(data));
}

void TestXpUnit::registerFromMissingResourceRegistersNothing()
{
    QVERIFY(!ScreenCursors::RegisterFromResource(301, QStringLiteral(":/skins/NOSUCHCURSOR.cur")));
    QVERIFY(!ScreenCursors::IsRegistered(301));
    QTemporaryFile broken;
    QVERIFY(broken.open());
    broken.write("not a cursor at all");
    broken.close();
    QVERIFY(!ScreenCursors::RegisterFromResource(302, broken.fileName()));
    QVERIFY(!ScreenCursors::IsRegistered(302));
    QCOMPARE(ScreenCursors::Cursor(302).shape(), Qt::ArrowCursor);
}

void TestXpUnit::startupRegisteredHandBeforeApplication()
{
    QVERIFY(g_handRegisteredBeforeApp);
    const QCursor hand = ScreenCursors::Cursor(crXPHand);
    QCOMPARE(hand.shape(), Qt::BitmapCursor);
    QCOMPARE(hand.hotSpot(), QPoint(7, 1));
    QCOMPARE(hand.pixmap().size(), QSize(32, 32));
}

int main(int argc, char** argv)
{
    // The start-up runs before any application object, as in the program's own main().
    XP_UnitStartup();
    g_handRegisteredBeforeApp = ScreenCursors::IsRegistered(crXPHand);
    QApplication app(argc, argv);
    TestXpUnit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xp_unit.moc"
