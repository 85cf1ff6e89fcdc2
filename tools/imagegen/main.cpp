// quelm-imagegen [resources-dir] [--sheet file.png]
// Paints every picture the program carries and writes them under the resources folder.

#include "Artwork.h"
#include "BmpWriter.h"
#include "CursorArt.h"
#include "SkinArt.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStringList>

#include <cstdio>
#include <exception>
#include <stdexcept>

namespace {

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
    std::printf("wrote %s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
}

void WriteImage(const QString& path, const QImage& image, const char* format, int quality = -1)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, format, quality) || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
    std::printf("wrote %s\n", qPrintable(path));
}

} // namespace

int main(int argc, char** argv)
{
    // Text needs a QGuiApplication; no display is needed for painting into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    QString sheet;
    const int sheetAt = int(args.indexOf(QStringLiteral("--sheet")));
    if (sheetAt >= 0 && sheetAt + 1 < args.size()) {
        sheet = args.at(sheetAt + 1);
        args.remove(sheetAt, 2);
    }
    const QString root = args.isEmpty() ? QStringLiteral(QUELM_RESOURCES_DIR) : args.first();

    try {
        const QString skins = root + QStringLiteral("/skins/");
        WriteBytes(skins + QStringLiteral("XPBUTTON.bmp"), BmpWriter::Encode24(SkinArt::ButtonStrip()));
        WriteBytes(skins + QStringLiteral("XPCHECKBOX.bmp"), BmpWriter::Encode8(SkinArt::CheckBoxStrip()));
        WriteBytes(skins + QStringLiteral("XPRADIOBOX.bmp"), BmpWriter::Encode8(SkinArt::RadioBoxStrip()));
        WriteBytes(skins + QStringLiteral("XPHANDCUR.cur"), CursorArt::HandCursorResource());

        const QString images = root + QStringLiteral("/images/");
        WriteImage(images + QStringLiteral("MAINICON.png"), Artwork::AppIcon(32), "PNG");
        WriteImage(images + QStringLiteral("banner_main.jpg"), Artwork::MainBanner(), "JPEG", 92);
        WriteImage(images + QStringLiteral("banner_about.jpg"), Artwork::AboutBanner(), "JPEG", 92);
        for (const Artwork::Glyph& glyph : Artwork::Glyphs()) {
            const QByteArray bytes = glyph.bits == 16 ? BmpWriter::Encode16(glyph.image) : BmpWriter::Encode24(glyph.image);
            WriteBytes(images + QStringLiteral("glyph_%1.bmp").arg(glyph.name), bytes);
        }

        const QString icons = root + QStringLiteral("/icons/hicolor/");
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            WriteImage(icons + QStringLiteral("%1x%1/apps/com.quelm.Search.png").arg(size), Artwork::AppIcon(size), "PNG");
        WriteBytes(icons + QStringLiteral("scalable/apps/com.quelm.Search.svg"), Artwork::AppIconSvg());

        if (!sheet.isEmpty())
            WriteImage(sheet, Artwork::ContactSheet(SkinArt::ButtonStrip(), SkinArt::CheckBoxStrip(),
                                                    SkinArt::RadioBoxStrip(), CursorArt::HandCursorPreview()),
                       "PNG");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quelm-imagegen: %s\n", error.what());
        return 1;
    }
    return 0;
}
