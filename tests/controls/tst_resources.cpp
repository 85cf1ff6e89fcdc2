// The committed pictures, read both through the compiled-in resources and as raw bytes, so that a
// regenerated picture that breaks a format or a pixel fact the controls rely on fails here.

#include "controls/ScreenCursors.h"
#include "controls/XP_Unit.h"

#include <QFile>
#include <QGuiApplication>
#include <QtTest>

#include <algorithm>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

quint32 U32(const QByteArray& data, int at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 U16(const QByteArray& data, int at)
{
    const auto* p = reinterpret_cast<const uchar*>(data.constData()) + at;
    return quint16(p[0] | p[1] << 8);
}

struct Bmp
{
    qint32 width = 0, height = 0;
    int bits = 0, paletteEntries = 0, stride = 0;
    quint32 pixelsAt = 0;
    QByteArray data;

    // Decodes the pixel data by hand (bottom-up rows), independently of Qt's reader.
    QRgb Pixel(int x, int y) const
    {
        const qsizetype row = qsizetype(pixelsAt) + qsizetype(height - 1 - y) * stride;
        const auto* p = reinterpret_cast<const uchar*>(data.constData()) + row;
        switch (bits) {
        case 8: {
            const int at = 54 + 4 * p[x];
            return qRgb(uchar(data[at + 2]), uchar(data[at + 1]), uchar(data[at]));
        }
        case 16: {
            const int v = p[2 * x] | p[2 * x + 1] << 8;
            auto five = [](int c) { return c << 3; };  // compared on the top five bits
            return qRgb(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
        }
        default:
            return qRgb(p[3 * x + 2], p[3 * x + 1], p[3 * x]);
        }
    }
};

// Checks the headers and the padding; fails the calling test on the first fault.
bool ParseBmp(const QByteArray& data, Bmp& bmp)
{
    bmp.data = data;
    if (data.size() < 54 || !data.startsWith("BM") || U32(data, 2) != quint32(data.size()) || U32(data, 14) != 40)
        return false;
    bmp.width = qint32(U32(data, 18));
    bmp.height = qint32(U32(data, 22));
    bmp.bits = U16(data, 28);
    if (U16(data, 26) != 1 || U32(data, 30) != 0 || bmp.width <= 0 || bmp.height <= 0)
        return false;
    bmp.paletteEntries = bmp.bits <= 8 ? int(U32(data, 46) ? U32(data, 46) : 1u << bmp.bits) : int(U32(data, 46));
    bmp.pixelsAt = U32(data, 10);
    bmp.stride = ((bmp.width * bmp.bits + 31) / 32) * 4;
    if (bmp.pixelsAt != 54u + 4u * quint32(bmp.paletteEntries))
        return false;
    if (qsizetype(data.size()) - bmp.pixelsAt != qsizetype(bmp.stride) * bmp.height)
        return false;
    const int used = (bmp.width * bmp.bits + 7) / 8;
    for (int y = 0; y < bmp.height; ++y)
        for (int b = used; b < bmp.stride; ++b)
            if (data[qsizetype(bmp.pixelsAt) + qsizetype(y) * bmp.stride + b] != 0)
                return false;
    return true;
}

QImage Frame(const QImage& strip, int count, int index)
{
    QImage frame;
    GetSkinFrame(strip, frame, count, index, true);
    return frame;
}

QString Hex(QRgb rgb)
{
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

#define COMPARE_RGB(actual, expected) QCOMPARE(Hex(actual), Hex(expected))

} // namespace

class TestResources final : public QObject
{
    Q_OBJECT

private slots:
    void skinFilesAreCompiledIn_data();
    void skinFilesAreCompiledIn();
    void stripFormats_data();
    void stripFormats();
    void buttonCorners();
    void buttonFrameColours();
    void buttonMiddleColumnAndRowRunThrough();
    void buttonRimStaysUnbrokenWhenStretched();
    void checkBoxFrames();
    void checkBoxTicksStayInTheirSquare();
    void radioBoxCorners();
    void radioBoxFrames();
    void handCursor();
    void mainIcon();
    void banners_data();
    void banners();
    void glyphs_data();
    void glyphs();
    void desktopIcons();
};

void TestResources::skinFilesAreCompiledIn_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"XPBUTTON.bmp", "XPCHECKBOX.bmp", "XPRADIOBOX.bmp", "XPHANDCUR.cur"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestResources::skinFilesAreCompiledIn()
{
    QFETCH(QString, name);
    LoadSkinStrip("XPBUTTON");  // makes sure the library's resources are registered
    const QByteArray compiled = ReadAll(QStringLiteral(":/skins/") + name);
    QVERIFY(!compiled.isEmpty());
    QCOMPARE(compiled, ReadAll(QStringLiteral(QUELM_SOURCE_DIR "/resources/skins/") + name));
}

void TestResources::stripFormats_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("palette");
    QTest::addColumn<int>("stride");
    QTest::addColumn<int>("pixelBytes");
    QTest::newRow("XPBUTTON") << "XPBUTTON" << 90 << 24 << 0 << 272 << 5712;
    QTest::newRow("XPCHECKBOX") << "XPCHECKBOX" << 78 << 8 << 256 << 80 << 1040;
    QTest::newRow("XPRADIOBOX") << "XPRADIOBOX" << 78 << 8 << 256 << 80 << 1040;
}

void TestResources::stripFormats()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, bits);
    QFETCH(int, palette);
    QFETCH(int, stride);
    QFETCH(int, pixelBytes);
    const QByteArray data = ReadAll(QStringLiteral(":/skins/%1.bmp").arg(name));
    Bmp bmp;
    QVERIFY2(ParseBmp(data, bmp), "headers, sizes or row padding");
    QCOMPARE(bmp.width, width);
    QCOMPARE(bmp.height, name == QLatin1String("XPBUTTON") ? 21 : 13);
    QCOMPARE(bmp.bits, bits);
    QCOMPARE(bmp.paletteEntries, palette);
    QCOMPARE(bmp.stride, stride);
    QCOMPARE(int(data.size() - bmp.pixelsAt), pixelBytes);

    // Qt's reader sees exactly the pixels the bytes hold, the right way up, all opaque.
    const QImage strip = LoadSkinStrip(name.toLatin1().constData());
    QCOMPARE(strip.size(), QSize(bmp.width, bmp.height));
    QVERIFY(!strip.hasAlphaChannel());
    for (int y = 0; y < bmp.height; ++y)
        for (int x = 0; x < bmp.width; ++x)
            QCOMPARE(strip.pixel(x, y) | 0xFF000000u, bmp.Pixel(x, y));
}

void TestResources::buttonCorners()
{
    const QImage strip = LoadSkinStrip("XPBUTTON");
    const QRgb beige = qRgb(0xEC, 0xE9, 0xD8);
    for (int index = 1; index <= 5; ++index) {
        const QImage f = Frame(strip, 5, index);
        for (int cx : {0, 1})
            for (int cy : {0, 1}) {
                auto at = [&](int x, int y) { return f.pixel(cx ? 17 - x : x, cy ? 20 - y : y); };
                COMPARE_RGB(at(0, 0), beige);
                COMPARE_RGB(at(1, 0), beige);
                COMPARE_RGB(at(0, 1), beige);
                QVERIFY(at(1, 1) != beige && at(2, 0) != beige && at(0, 2) != beige);
            }
        if (index != 3) {
            COMPARE_RGB(f.pixel(1, 1), qRgb(0x22, 0x55, 0x83));
            COMPARE_RGB(f.pixel(2, 0), qRgb(0x55, 0x7D, 0xA2));
            COMPARE_RGB(f.pixel(0, 2), qRgb(0x55, 0x7D, 0xA2));
        }
    }
}

void TestResources::buttonFrameColours()
{
    const QImage strip = LoadSkinStrip("XPBUTTON");
    const QImage normal = Frame(strip, 5, 1), pressed = Frame(strip, 5, 2), disabled = Frame(strip, 5, 3),
                 hot = Frame(strip, 5, 4), focused = Frame(strip, 5, 5);
    const QRgb blue = qRgb(0x00, 0x3C, 0x74);
    for (const QImage* f : {&normal, &pressed, &hot, &focused}) {
        COMPARE_RGB(f->pixel(9, 0), blue);
        COMPARE_RGB(f->pixel(0, 10), blue);
        COMPARE_RGB(f->pixel(17, 10), blue);
        COMPARE_RGB(f->pixel(9, 20), blue);
    }
    COMPARE_RGB(normal.pixel(9, 1), qRgb(0xFF, 0xFF, 0xFF));
    COMPARE_RGB(normal.pixel(9, 16), qRgb(0xF0, 0xF0, 0xEA));
    COMPARE_RGB(normal.pixel(9, 17), qRgb(0xEC, 0xEB, 0xE6));
    COMPARE_RGB(normal.pixel(9, 18), qRgb(0xE2, 0xDF, 0xD6));
    COMPARE_RGB(normal.pixel(9, 19), qRgb(0xD6, 0xD0, 0xC5));
    COMPARE_RGB(pressed.pixel(9, 1), qRgb(0xD1, 0xCC, 0xC1));
    COMPARE_RGB(pressed.pixel(9, 10), qRgb(0xE2, 0xE1, 0xDA));
    COMPARE_RGB(pressed.pixel(9, 19), qRgb(0xF2, 0xF1, 0xEE));
    COMPARE_RGB(disabled.pixel(9, 0), qRgb(0xC9, 0xC7, 0xBA));
    COMPARE_RGB(disabled.pixel(0, 10), qRgb(0xC9, 0xC7, 0xBA));
    for (int y = 1; y <= 19; ++y)
        COMPARE_RGB(disabled.pixel(9, y), qRgb(0xF5, 0xF4, 0xEA));

    struct Rim { const QImage* frame; QRgb top1, top2, side, bottom1, bottom2; };
    for (const Rim& rim : {Rim{&hot, 0xFFF0CF, 0xFDD889, 0xFCCA69, 0xF8B330, 0xE59700},
                           Rim{&focused, 0xCEE7FF, 0xBCD4F6, 0xA0BEEC, 0x89ADE4, 0x6982EE}}) {
        COMPARE_RGB(rim.frame->pixel(9, 1), rim.top1);
        COMPARE_RGB(rim.frame->pixel(9, 2), rim.top2);
        COMPARE_RGB(rim.frame->pixel(9, 18), rim.bottom1);
        COMPARE_RGB(rim.frame->pixel(9, 19), rim.bottom2);
        for (int x : {1, 2, 15, 16})
            COMPARE_RGB(rim.frame->pixel(x, 10), rim.side);
        // inside the rim the face is frame 1's
        for (int y = 3; y <= 17; ++y)
            for (int x = 3; x <= 14; ++x)
                COMPARE_RGB(rim.frame->pixel(x, y), normal.pixel(x, y));
    }
}

void TestResources::buttonMiddleColumnAndRowRunThrough()
{
    // Column 9 and row 10 hold nothing of the corners: their ends are outline and they match the
    // columns and rows beside them, so repeating them extends the frame seamlessly.
    const QImage strip = LoadSkinStrip("XPBUTTON");
    for (int index = 1; index <= 5; ++index) {
        const QImage f = Frame(strip, 5, index);
        const QRgb outline = f.pixel(9, 0);
        COMPARE_RGB(f.pixel(9, 20), outline);
        COMPARE_RGB(f.pixel(0, 10), outline);
        COMPARE_RGB(f.pixel(17, 10), outline);
        for (int y = 0; y < 21; ++y) {
            COMPARE_RGB(f.pixel(8, y), f.pixel(9, y));
            COMPARE_RGB(f.pixel(10, y), f.pixel(9, y));
        }
        for (int x = 3; x <= 14; ++x)
            COMPARE_RGB(f.pixel(x, 10), f.pixel(9, 10));
        // the outline, and the rim where there is one, keep one colour along the straight sides
        for (int y = 3; y <= 17; ++y)
            for (int x : {0, 1, 2, 15, 16, 17})
                if (x == 0 || x == 17 || index >= 4)
                    COMPARE_RGB(f.pixel(x, y), f.pixel(x, 10));
    }
}

void TestResources::buttonRimStaysUnbrokenWhenStretched()
{
    const QImage strip = LoadSkinStrip("XPBUTTON");
    for (int index = 1; index <= 5; ++index) {
        const QImage f = Frame(strip, 5, index);
        QImage face(161, 32, QImage::Format_RGB32);
        DrawSkinStretched(f, face, TRect{0, 0, 161, 32});
        const QRgb outline = f.pixel(9, 0);
        for (int x = 3; x <= 157; ++x) {
            COMPARE_RGB(face.pixel(x, 0), outline);
            COMPARE_RGB(face.pixel(x, 31), outline);
        }
        for (int y = 3; y <= 28; ++y) {
            COMPARE_RGB(face.pixel(0, y), outline);
            COMPARE_RGB(face.pixel(160, y), outline);
            const int sy = y <= 9 ? y : y >= 21 ? y - 11 : 10;
            COMPARE_RGB(face.pixel(1, y), f.pixel(1, sy));
            COMPARE_RGB(face.pixel(159, y), f.pixel(16, sy));
        }
        for (int x = 0; x <= 160; ++x) {
            const int sx = x <= 8 ? x : x >= 152 ? x - 143 : 9;
            COMPARE_RGB(face.pixel(x, 1), f.pixel(sx, 1));
            COMPARE_RGB(face.pixel(x, 30), f.pixel(sx, 19));
        }
        COMPARE_RGB(face.pixel(0, 0), qRgb(0xEC, 0xE9, 0xD8));
        COMPARE_RGB(face.pixel(160, 31), qRgb(0xEC, 0xE9, 0xD8));
    }
}

void TestResources::checkBoxFrames()
{
    const QImage strip = LoadSkinStrip("XPCHECKBOX");
    for (int index = 1; index <= 6; ++index) {
        const QImage f = Frame(strip, 6, index);
        const bool disabled = index == 3 || index == 4;
        const QRgb outline = disabled ? qRgb(0xC9, 0xC7, 0xBA) : qRgb(0x00, 0x3B, 0x74);
        for (int i = 0; i < 13; ++i) {
            COMPARE_RGB(f.pixel(i, 0), outline);
            COMPARE_RGB(f.pixel(i, 12), outline);
            COMPARE_RGB(f.pixel(0, i), outline);
            COMPARE_RGB(f.pixel(12, i), outline);
        }
        if (disabled) {
            COMPARE_RGB(f.pixel(1, 1), qRgb(0xF5, 0xF4, 0xEA));
            COMPARE_RGB(f.pixel(11, 11), qRgb(0xF5, 0xF4, 0xEA));
        } else if (index <= 2) {
            COMPARE_RGB(f.pixel(1, 1), qRgb(0xDD, 0xDD, 0xD7));
            COMPARE_RGB(f.pixel(11, 11), qRgb(0xFF, 0xFF, 0xFF));
        } else {
            COMPARE_RGB(f.pixel(1, 1), qRgb(0xED, 0xBB, 0x85));
            COMPARE_RGB(f.pixel(11, 11), qRgb(0xFF, 0xCC, 0x99));
            for (int i = 1; i <= 11; ++i) {  // the rim goes all round, orange
                for (QRgb c : {f.pixel(i, 1), f.pixel(1, i), f.pixel(i, 11), f.pixel(11, i)})
                    QVERIFY(qRed(c) > qGreen(c) && qGreen(c) > qBlue(c));
            }
            COMPARE_RGB(f.pixel(2, 2), Frame(strip, 6, 1).pixel(2, 2));
        }
    }
}

void TestResources::checkBoxTicksStayInTheirSquare()
{
    const QImage strip = LoadSkinStrip("XPCHECKBOX");
    for (auto [unchecked, checked] : {std::pair{1, 2}, {3, 4}, {5, 6}}) {
        const QImage off = Frame(strip, 6, unchecked), on = Frame(strip, 6, checked);
        const QRgb tick = checked == 4 ? qRgb(0xC0, 0xBF, 0xB5) : qRgb(0x07, 0x9D, 0x05);
        int tickPixels = 0;
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 13; ++x) {
                const bool inSquare = x >= 3 && x <= 9 && y >= 3 && y <= 9;
                if (!inSquare)
                    COMPARE_RGB(on.pixel(x, y), off.pixel(x, y));
                tickPixels += (on.pixel(x, y) | 0xFF000000u) == tick;
            }
        }
        QVERIFY2(tickPixels >= 12, qPrintable(QStringLiteral("frame %1: %2 tick pixels").arg(checked).arg(tickPixels)));
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                QVERIFY((off.pixel(x, y) | 0xFF000000u) != tick);
    }
}

void TestResources::radioBoxCorners()
{
    const QImage strip = LoadSkinStrip("XPRADIOBOX");
    const QRgb magenta = qRgb(0xFF, 0x00, 0xFF);
    for (int index = 1; index <= 6; ++index) {
        const QImage f = Frame(strip, 6, index);
        int corners = 0;
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 13; ++x) {
                // three outermost pixels of the top and bottom rows, two of the second and twelfth,
                // one of the third and eleventh
                const int edge = std::min(y, 12 - y);
                const int reach = edge == 0 ? 3 : edge == 1 ? 2 : edge == 2 ? 1 : 0;
                const bool corner = x < reach || x > 12 - reach;
                QCOMPARE((f.pixel(x, y) | 0xFF000000u) == magenta, corner);
                corners += corner;
            }
        }
        QCOMPARE(corners, 24);
    }
}

void TestResources::radioBoxFrames()
{
    const QImage strip = LoadSkinStrip("XPRADIOBOX");
    for (int index = 1; index <= 6; ++index) {
        const QImage f = Frame(strip, 6, index);
        const bool disabled = index == 3 || index == 4;
        if (disabled) {
            for (QPoint p : {QPoint(6, 0), QPoint(0, 6), QPoint(6, 12), QPoint(12, 6)})
                COMPARE_RGB(f.pixel(p), qRgb(0xC9, 0xC7, 0xBB));
        } else {
            COMPARE_RGB(f.pixel(6, 0), qRgb(0x1E, 0x52, 0x83));
            COMPARE_RGB(f.pixel(0, 6), qRgb(0x1E, 0x52, 0x83));
            COMPARE_RGB(f.pixel(6, 12), qRgb(0x18, 0x4D, 0x7E));
            COMPARE_RGB(f.pixel(12, 6), qRgb(0x18, 0x4D, 0x7E));
        }
    }
    const QImage off = Frame(strip, 6, 1), on = Frame(strip, 6, 2), disabledOff = Frame(strip, 6, 3),
                 disabledOn = Frame(strip, 6, 4), hotOff = Frame(strip, 6, 5), hotOn = Frame(strip, 6, 6);
    COMPARE_RGB(on.pixel(6, 6), qRgb(0x07, 0xA5, 0x05));
    COMPARE_RGB(hotOn.pixel(6, 6), qRgb(0x07, 0xA5, 0x05));
    COMPARE_RGB(disabledOn.pixel(6, 6), qRgb(0xC0, 0xBF, 0xB5));
    COMPARE_RGB(disabledOff.pixel(6, 6), qRgb(0xF5, 0xF4, 0xEA));
    // The face gradient spans the disc: along its centre lines (across, down and the diagonal) the
    // grey face pixels lighten from #DFDFDF to #FFFFFF, within a few levels.
    for (auto [from, step] :
         {std::pair{QPoint(0, 6), QPoint(1, 0)}, {QPoint(6, 0), QPoint(0, 1)}, {QPoint(0, 0), QPoint(1, 1)}}) {
        QList<int> greys;
        for (QPoint p = from; off.valid(p); p += step) {
            const QRgb c = off.pixel(p);
            if (qRed(c) == qGreen(c) && qGreen(c) == qBlue(c))
                greys << qRed(c);
        }
        const QString line = QStringLiteral("from (%1,%2): %3 greys, %4 to %5")
                                 .arg(from.x())
                                 .arg(from.y())
                                 .arg(greys.size())
                                 .arg(greys.value(0), 0, 16)
                                 .arg(greys.value(greys.size() - 1), 0, 16);
        QVERIFY2(greys.size() >= 7 && std::is_sorted(greys.cbegin(), greys.cend()), qPrintable(line));
        QVERIFY2(greys.front() >= 0xDF && greys.front() <= 0xDF + 3 && greys.back() >= 0xFF - 3, qPrintable(line));
    }
    // dots stay in rows and columns 4-8
    for (auto [a, b] : {std::pair{&off, &on}, {&disabledOff, &disabledOn}, {&hotOff, &hotOn}})
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x)
                if (x < 4 || x > 8 || y < 4 || y > 8)
                    COMPARE_RGB(b->pixel(x, y), a->pixel(x, y));
    // the hot frames have an orange ring inside the outline
    int orange = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) {
            const QRgb c = hotOff.pixel(x, y);
            orange += c != off.pixel(x, y) && qRed(c) > qGreen(c) + 20 && qGreen(c) > qBlue(c) + 20;
        }
    QVERIFY2(orange >= 16, qPrintable(QString::number(orange)));
}

void TestResources::handCursor()
{
    const QByteArray data = ReadAll(QStringLiteral(":/skins/XPHANDCUR.cur"));
    QCOMPARE(data.size(), 308);
    QCOMPARE(U16(data, 0), quint16(7));
    QCOMPARE(U16(data, 2), quint16(1));
    QCOMPARE(U32(data, 4), 40u);
    QCOMPARE(U32(data, 8), 32u);
    QCOMPARE(U32(data, 12), 64u);  // XOR and AND masks
    QCOMPARE(U16(data, 18), quint16(1));
    QCOMPARE(U32(data, 44), 0x000000u);
    QCOMPARE(U32(data, 48), 0xFFFFFFu);

    const auto cursor = ScreenCursors::DecodeCursorResource(data);
    QVERIFY(cursor);
    QCOMPARE(cursor->hotSpot, QPoint(7, 1));
    const QImage& image = cursor->image;
    QCOMPARE(image.size(), QSize(32, 32));
    int black = 0, white = 0, clear = 0, topRow = -1;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 0) {
                ++clear;
                continue;
            }
            if (topRow < 0)
                topRow = y;
            if (c == qRgb(0, 0, 0))
                ++black;
            else if (c == qRgb(255, 255, 255))
                ++white;
            else
                QFAIL("a pixel that is neither black, white nor transparent");
        }
    }
    // pointing up: the highest drawn pixel is the finger tip, on the hot spot, in black
    QCOMPARE(topRow, 1);
    QCOMPARE(image.pixel(7, 1), qRgb(0, 0, 0));
    QCOMPARE(qAlpha(image.pixel(7, 0)), 0);
    QCOMPARE(image.pixel(7, 3), qRgb(255, 255, 255));
    QVERIFY(black > 40 && white > 100 && clear > 500);
    // every white pixel is enclosed: none touches a transparent one
    for (int y = 1; y < 31; ++y)
        for (int x = 1; x < 31; ++x)
            if (image.pixel(x, y) == qRgb(255, 255, 255))
                for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
                    QVERIFY(qAlpha(image.pixel(QPoint(x, y) + d)) != 0);
}

void TestResources::mainIcon()
{
    const QImage icon(QStringLiteral(":/images/MAINICON.png"));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon.hasAlphaChannel());
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(13, 13)), 255);
}

void TestResources::banners_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("main window") << ":/images/banner_main.jpg" << QSize(214, 60);
    QTest::newRow("about box") << ":/images/banner_about.jpg" << QSize(62, 216);
}

void TestResources::banners()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QByteArray data = ReadAll(path);
    QVERIFY(data.startsWith("\xFF\xD8\xFF"));
    const QImage banner = QImage::fromData(data, "JPEG");
    QCOMPARE(banner.size(), size);
    // not a flat picture: the name stands out from the background
    int minGray = 255, maxGray = 0;
    for (int y = 0; y < banner.height(); ++y)
        for (int x = 0; x < banner.width(); ++x) {
            minGray = std::min(minGray, qGray(banner.pixel(x, y)));
            maxGray = std::max(maxGray, qGray(banner.pixel(x, y)));
        }
    QVERIFY(maxGray - minGray > 150);
}

void TestResources::glyphs_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("bits");
    QTest::newRow("N9") << "N9" << QSize(40, 40) << 24;
    QTest::newRow("N10") << "N10" << QSize(20, 20) << 16;
    QTest::newRow("N11") << "N11" << QSize(37, 35) << 24;
    QTest::newRow("N12") << "N12" << QSize(40, 35) << 24;
    QTest::newRow("Quelm1") << "Quelm1" << QSize(36, 35) << 24;
    QTest::newRow("N16") << "N16" << QSize(20, 20) << 16;
    QTest::newRow("N14") << "N14" << QSize(20, 20) << 16;
    QTest::newRow("sb1") << "sb1" << QSize(20, 20) << 24;
    QTest::newRow("SpeedButton1") << "SpeedButton1" << QSize(20, 20) << 24;
    QTest::newRow("go") << "go" << QSize(20, 20) << 24;
}

void TestResources::glyphs()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(int, bits);
    const QString path = QStringLiteral(":/images/glyph_%1.bmp").arg(name);
    Bmp bmp;
    QVERIFY2(ParseBmp(ReadAll(path), bmp), "headers, sizes or row padding");
    QCOMPARE(QSize(bmp.width, bmp.height), size);
    QCOMPARE(bmp.bits, bits);
    QCOMPARE(bmp.paletteEntries, 0);

    const QImage glyph(path);
    QCOMPARE(glyph.size(), size);
    const QRgb significant = bits == 16 ? 0xFFF8F8F8u : 0xFFFFFFFFu;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            QCOMPARE((glyph.pixel(x, y) | 0xFF000000u) & significant, bmp.Pixel(x, y));
    // the bottom-left pixel is background: the other corners share it and there is a picture
    const QRgb key = glyph.pixel(0, size.height() - 1);
    QCOMPARE(glyph.pixel(0, 0), key);
    QCOMPARE(glyph.pixel(size.width() - 1, 0), key);
    int drawn = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            drawn += glyph.pixel(x, y) != key;
    QVERIFY2(drawn > size.width() * size.height() / 6, qPrintable(QString::number(drawn)));
}

void TestResources::desktopIcons()
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral(QUELM_SOURCE_DIR "/resources/icons/hicolor/%1x%1/apps/com.quelm.Search.png")
                                 .arg(size);
        const QImage icon(path);
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(size * 13 / 32, size * 13 / 32)), 255);
    }
    const QByteArray svg = ReadAll(QStringLiteral(QUELM_SOURCE_DIR "/resources/icons/hicolor/scalable/apps/com.quelm.Search.svg"));
    QVERIFY(svg.contains("<svg") && svg.contains("viewBox=\"0 0 32 32\""));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
