// One paint of each skinned control at its size in the program, and a full repaint of the main
// window, through QWidget::render into an image on the offscreen platform.
//   bench_paint [BATCHES] [ONLY]     prints "paint target=... median_us=..." lines
// With QT_SCALE_FACTOR set, the paints are at that device pixel ratio.
// Under callgrind, BenchRenderLoop is the function to collect (--toggle-collect=BenchRenderLoop*).
#include "BenchSupport.h"

#include "AutostartRegistryBackend.h"
#include "ExternalBrowser.h"
#include "IniRegistryBackend.h"
#include "GuardedApplication.h"
#include "SettingsStore.h"
#include "controls/TrayBackend.h"
#include "controls/XP_Button.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_RadioBox.h"
#include "controls/XP_Url.h"
#include "controls/XP_Unit.h"
#include "main.h"
#include "obout.h"
#include "shezhi.h"

#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

class NoTray final : public TrayBackend
{
public:
    bool IsAvailable() const override { return false; }
    void Add(const QIcon&, const QString&) override {}
    void Delete() override {}
    void Describe(const QString&, QMenu*) override {}
};

class NoBrowser final : public ExternalBrowser
{
public:
    void open(const QString&) override {}
};

} // namespace

// Not inlined, so that callgrind can count exactly the renders.
__attribute__((noinline)) void BenchRenderLoop(QWidget* widget, QImage& image, int count)
{
    for (int i = 0; i < count; ++i)
        widget->render(&image);
}

int main(int argc, char* argv[])
{
    const int batches = argc > 1 ? std::atoi(argv[1]) : 40;
    const char* only = argc > 2 ? argv[2] : nullptr;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    XP_UnitStartup();
    GuardedApplication app(argc, argv);
    QTemporaryDir dir;
    IniRegistryBackend ini(dir.path() + QStringLiteral("/quelm_search"));
    AutostartRegistryBackend autostart(dir.path() + QStringLiteral("/autostart"));
    SettingsStore store(ini, autostart);
    NoBrowser browser;
    TForm1 form1(store, browser, std::make_unique<NoTray>());
    TForm2 form2;
    TForm3 form3(store);
    form1.show();
    form2.show();
    form3.show();
    QCoreApplication::processEvents();

    struct Target {
        const char* name;
        QWidget* widget;
    };
    const Target targets[] = {
        {"TXP_Button", form1.findChild<TXP_Button*>(QStringLiteral("go"))},
        {"TXP_CheckBox", form1.findChild<TXP_CheckBox*>(QStringLiteral("sgoogle"))},
        {"TXP_RadioBox", form3.findChild<TXP_RadioBox*>(QStringLiteral("xb2"))},
        {"TXP_Url", form2.findChild<TXP_Url*>(QStringLiteral("XP_Url2"))},
        {"TForm1", &form1},
    };
    for (const Target& target : targets) {
        if (only && std::strcmp(only, target.name) != 0)
            continue;
        if (!target.widget)
            return 1;
        // At the screen's device pixel ratio (QT_SCALE_FACTOR), as the window's backing store is.
        const qreal ratio = target.widget->devicePixelRatioF();
        QImage image(target.widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(0);
        const bool whole = target.widget == &form1;
        const int perBatch = whole ? 5 : 50;
        BenchRenderLoop(target.widget, image, perBatch);   // warm caches
        std::vector<double> times;
        for (int batch = 0; batch < batches; ++batch) {
            const qint64 start = Bench::NowNs();
            BenchRenderLoop(target.widget, image, perBatch);
            times.push_back((Bench::NowNs() - start) / 1000.0 / perBatch);
        }
        Bench::Report(QStringLiteral("paint:%1").arg(QLatin1String(target.name)),
                      {{QStringLiteral("width"), target.widget->width()},
                       {QStringLiteral("height"), target.widget->height()},
                       {QStringLiteral("renders"), perBatch * (batches + 1)},
                       {QStringLiteral("median_us"), Bench::Median(times)}});
    }
    return 0;
}
