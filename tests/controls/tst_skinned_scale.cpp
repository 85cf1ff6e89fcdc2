// The skinned controls on a screen of device pixel ratio 2: the skin is its ratio-1 image enlarged
// by whole pixels, while captions, focus rectangles and underlines carry detail of their own.

#include "ControlScenes.h"

#include "controls/SkinText.h"

#include <QPainter>
#include <QtTest>

using namespace ControlTest;

namespace {

// The ratio-1 look of a glyph box: Color, and the glyph at the left edge (magenta left out).
QImage BoxSkin(QSize size, const char* strip, int frame)
{
    QImage skin(size, QImage::Format_RGB32);
    skin.fill(ColorToRGB(clWindowBackground));
    QPainter(&skin).drawImage(0, (size.height() - 13) / 2, Transparent(Frame(strip, 6, frame), clFuchsia));
    return skin;
}

// The offscreen platform grabs a scaled window's backing store only within the window's logical
// size counted in device pixels; a control further down is rendered afresh (in its resting look).
QImage Capture(QWidget* control)
{
    const QRect native(control->mapTo(control->window(), QPoint()) * 2, control->size() * 2);
    if (control->window()->rect().contains(native))
        return Shot(control);
    return control->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect CaptionArea(const QWidget* control, bool centred)
{
    if (!centred)
        return QRect(16, 0, control->width() - 16, control->height());  // from the focus rectangle on
    const QFontMetrics metrics(control->font());
    const QString text = SkinText::DisplayText(control->property("Caption").toString());
    const int tw = metrics.horizontalAdvance(text), th = metrics.height();
    return QRect((control->width() - tw) / 2 - 1, (control->height() - th) / 2 - 1, tw + 2, th + 2);
}

} // namespace

class TestSkinnedScale final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QApplication::setPalette(LightPalette());
        const auto form = SceneForm();
        QCOMPARE(form->devicePixelRatioF(), 2.0);
    }

    void skinEnlargedCaptionSharp_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QImage>("skin");  // at ratio 1; null where the control has no skin
        QTest::addColumn<bool>("centred");
        const auto face = [](int look) { return Stretched(Frame("XPBUTTON", 5, look), 161, 32); };
        QTest::newRow("button") << "button-normal" << face(1) << true;
        QTest::newRow("button focused") << "button-focused" << face(5) << true;
        QTest::newRow("button hot") << "button-hot" << face(4) << true;
        QTest::newRow("button disabled") << "button-disabled" << face(3) << true;
        QTest::newRow("check box focused") << "checkbox-checked-focused" << BoxSkin({89, 17}, "XPCHECKBOX", 2) << false;
        QTest::newRow("check box hot") << "checkbox-hot" << BoxSkin({89, 17}, "XPCHECKBOX", 5) << false;
        QTest::newRow("radio box focused") << "radiobox-checked-focused" << BoxSkin({161, 17}, "XPRADIOBOX", 2) << false;
        QTest::newRow("radio box disabled") << "radiobox-disabled" << BoxSkin({161, 17}, "XPRADIOBOX", 3) << false;
        QTest::newRow("link") << "url-normal" << QImage() << false;
    }
    void skinEnlargedCaptionSharp()
    {
        QFETCH(QString, scene);
        QFETCH(QImage, skin);
        QFETCH(bool, centred);
        const auto scenes = Scenes();
        const auto found = std::find_if(scenes.begin(), scenes.end(), [&](const Scene& s) { return scene == s.name; });
        QVERIFY(found != scenes.end());
        const auto form = SceneForm();
        QVERIFY(form->ShowActive());
        QWidget* control = found->make(*form);
        const QImage shot = Capture(control);
        QCOMPARE(shot.size(), control->size() * 2);

        // Outside the caption the skin, each pixel a 2 x 2 block; inside it, detail such a block
        // enlargement cannot have: pixels that differ from the others of their block.
        const QRect caption = skin.isNull() ? control->rect() : CaptionArea(control, centred);
        int skinPixels = 0, detail = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                if (caption.contains(x / 2, y / 2)) {
                    detail += shot.pixel(x, y) != shot.pixel(x & ~1, y & ~1);
                    continue;
                }
                QCOMPARE(shot.pixel(x, y) | 0xFF000000u, skin.pixel(x / 2, y / 2) | 0xFF000000u);
                ++skinPixels;
            }
        }
        QVERIFY(skin.isNull() || skinPixels >= 4 * 13 * 13);
        QVERIFY2(detail >= 20, qPrintable(QString::number(detail)));
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    XP_UnitStartup();
    QApplication app(argc, argv);
    TestSkinnedScale test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_skinned_scale.moc"
