// At ratio 1 every control paints the pixels it painted before its drawing moved into a shared base:
// the images under reference/ were rendered from that earlier code. With QUELM_WRITE_REFERENCE set
// to a folder, the test writes what it renders there instead of comparing (to renew them after an
// intended change of look; then set kReferenceFace to the face the skipped test names).
// The captions are drawn from the face's own bitmaps, which another face or another version of
// it draws differently: the comparison is skipped, saying so, where the face is not that one.

#include "ControlScenes.h"
#include "SkinnedControlTests.h"

#include <QDir>
#include <QRawFont>
#include <QtEndian>
#include <QtTest>

using namespace ControlTest;

namespace {

const QString kReferenceFace = QStringLiteral("AR PL UMing CN, revision 00003333, checksum cd4a1a39");

// The face the captions are drawn with, to the version of its file.
QString FaceInUse()
{
    const QString family = QFontInfo(UmingFont()).family();
    const QByteArray head = QRawFont::fromFont(UmingFont(), QFontDatabase::SimplifiedChinese).fontTable("head");
    if (head.size() < 12)
        return family;
    return QStringLiteral("%1, revision %2, checksum %3")
        .arg(family)
        .arg(qFromBigEndian<quint32>(head.constData() + 4), 8, 16, QLatin1Char('0'))
        .arg(qFromBigEndian<quint32>(head.constData() + 8), 8, 16, QLatin1Char('0'));
}

} // namespace

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
        if (const QString face = FaceInUse(); face != kReferenceFace)
            QSKIP(qPrintable(QStringLiteral("the references were drawn with %1; this machine draws captions with %2")
                                 .arg(kReferenceFace, face)));
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
