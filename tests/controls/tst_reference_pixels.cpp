// At ratio 1 every control paints the pixels it painted before its drawing moved into a shared base:
// the images under reference/ were rendered from that earlier code. With QUELM_WRITE_REFERENCE set
// to a folder, the test writes what it renders there instead of comparing (to renew them after an
// intended change of look).

#include "ControlScenes.h"
#include "SkinnedControlTests.h"

#include <QDir>
#include <QtTest>

using namespace ControlTest;

class TestReferencePixels final : public QObject
{
    Q_OBJECT

private:
    QPalette m_saved;

private slots:
    void initTestCase()
    {
        m_saved = QApplication::palette();
        QApplication::setPalette(LightPalette());  // clBtnFace comes from the application's palette
    }
    void cleanupTestCase() { QApplication::setPalette(m_saved); }

    void sameAsReference_data()
    {
        QTest::addColumn<int>("index");
        const auto scenes = Scenes();
        for (size_t i = 0; i < scenes.size(); ++i)
            QTest::newRow(scenes[i].name) << int(i);
    }
    void sameAsReference()
    {
        QFETCH(int, index);
        const Scene scene = Scenes().at(size_t(index));
        const auto form = SceneForm();
        QVERIFY(form->ShowActive());
        const QImage shot = Shot(scene.make(*form));
        const QString file = QStringLiteral("%1.png").arg(QLatin1String(scene.name));
        if (const QString out = qEnvironmentVariable("QUELM_WRITE_REFERENCE"); !out.isEmpty()) {
            QDir().mkpath(out);
            QVERIFY(shot.save(out + QLatin1Char('/') + file));
            return;
        }
        const QImage reference(QStringLiteral(QUELM_SOURCE_DIR "/tests/controls/reference/") + file);
        QVERIFY2(!reference.isNull(), qPrintable(file));
        QCOMPARE(shot.size(), reference.size());
        QCOMPARE(Differs(shot, 0, 0, reference), QString());
    }
};

int runReferenceTests(int argc, char** argv)
{
    TestReferencePixels test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reference_pixels.moc"
