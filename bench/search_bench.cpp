// One search through the real main window (offscreen), the real settings store and the real
// XdgOpenBrowser, with a stand-in xdg-open on PATH that ends at once. Times goClick for 1 to all
// ticked rows of the page with the most rows.
//   bench_search [REPS] [STANDIN_MS] [all|ROWS]
#include "BenchSupport.h"

#include "AutostartRegistryBackend.h"
#include "EngineCatalogue.h"
#include "IniRegistryBackend.h"
#include "GuardedApplication.h"
#include "SettingsStore.h"
#include "XdgOpenBrowser.h"
#include "controls/TrayBackend.h"
#include "controls/XP_CheckBox.h"
#include "controls/XP_Unit.h"
#include "main.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>

namespace {

class NoTray final : public TrayBackend
{
public:
    bool IsAvailable() const override { return false; }
    void Add(const QIcon&, const QString&) override {}
    void Delete() override {}
    void Describe(const QString&, QMenu*) override {}
};

// A folder's entries and modification time: a file made there, even one removed again, changes it.
QString FolderState(const QString& path)
{
    struct stat status {};
    stat(QFile::encodeName(path).constData(), &status);
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).join(u'/') +
           QStringLiteral("@%1.%2").arg(status.st_mtim.tv_sec).arg(status.st_mtim.tv_nsec);
}

// Counts the starts so that the bare program can start the stand-in as often.
class CountingBrowser final : public ExternalBrowser
{
public:
    void open(const QString& url) override
    {
        const qint64 start = Bench::NowNs();
        m_real.open(url);
        openNs += Bench::NowNs() - start;
        ++opens;
    }
    int opens = 0;
    qint64 openNs = 0;   // of the search's time, what the starts themselves took

private:
    XdgOpenBrowser m_real;
};

} // namespace

int main(int argc, char* argv[])
{
    const int reps = argc > 1 ? std::atoi(argv[1]) : 30;
    if (argc > 2)
        qputenv("QUELM_BENCH_STANDIN_MS", argv[2]);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir dir;
    const QString bin = dir.path() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    if (!QFile::link(QStringLiteral(QUELM_BENCH_STANDIN), bin + QStringLiteral("/xdg-open")))
        return 1;
    qputenv("PATH", (bin + QLatin1Char(':')).toLocal8Bit() + qgetenv("PATH"));

    XP_UnitStartup();
    GuardedApplication app(argc, argv);
    IniRegistryBackend ini(dir.path() + QStringLiteral("/quelm_search"));
    AutostartRegistryBackend autostart(dir.path() + QStringLiteral("/autostart"));
    SettingsStore store(ini, autostart);
    store.writeBrowserMode(false);   // a settings file exists, as after the first save
    CountingBrowser browser;
    TForm1 form(store, browser, std::make_unique<NoTray>());
    form.show();
    QCoreApplication::processEvents();
    form.findChild<QLineEdit*>(QStringLiteral("q"))->setText(QStringLiteral("quelm"));

    // A search writes no file: not in the settings folder, not in the temporary folder.
    const QStringList watched{dir.path() + QStringLiteral("/quelm_search"), QDir::tempPath()};
    QStringList before;
    for (const QString& folder : watched)
        before.append(FolderState(folder));

    int pageIndex = 0;
    QList<SearchEngine> rows;
    for (const CategoryPage& page : EngineCatalogue::categories()) {
        const QList<SearchEngine> engines = EngineCatalogue::enginesOf(page.category);
        if (engines.size() > rows.size()) {
            rows = engines;
            pageIndex = int(page.category);
        }
    }
    form.ShowPage(pageIndex);

    // "all": only the whole page; a number: only that many rows; nothing: 1 to all in turn.
    int first = 1, last = int(rows.size());
    if (argc > 3)
        first = last = qstrcmp(argv[3], "all") == 0 ? int(rows.size()) : std::clamp(std::atoi(argv[3]), 1, last);
    for (int ticked = first; ticked <= last; ++ticked) {
        for (int i = 0; i < rows.size(); ++i)
            form.findChild<TXP_CheckBox*>(rows[i].checkBox)->SetChecked(i < ticked);
        QCoreApplication::processEvents();
        std::vector<double> times, openTimes;
        int opens = 0;
        for (int rep = -3; rep < reps; ++rep) {
            browser.opens = 0;
            browser.openNs = 0;
            const qint64 start = Bench::NowNs();
            form.goClick();
            const qint64 end = Bench::NowNs();
            opens = browser.opens;
            if (rep >= 0) {
                times.push_back((end - start) / 1000.0);
                openTimes.push_back(browser.openNs / 1000.0);
            }
            // Between searches the status bar repaints and the ended stand-ins are collected, as in
            // use; the pause lets the last search's stand-ins end, as the bare program waits for its.
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 30)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        Bench::Report(QStringLiteral("search"), {{QStringLiteral("rows"), ticked},
                                                  {QStringLiteral("opens"), opens},
                                                  {QStringLiteral("median_us"), Bench::Median(times)},
                                                  {QStringLiteral("starts_us"), Bench::Median(openTimes)},
                                                  {QStringLiteral("vmrss_kb"), double(Bench::StatusKb(0, "VmRSS"))}});
    }
    int written = 0;
    for (int i = 0; i < watched.size(); ++i)
        written += FolderState(watched[i]) != before[i];
    Bench::Report(QStringLiteral("search:files"), {{QStringLiteral("folders_written"), written}});

    // Every started stand-in has been collected once the event loop ran: no zombies are left.
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    int zombies = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!entry.toLong() || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.value(0) == "Z" && fields.value(1).toLong() == QCoreApplication::applicationPid())
            ++zombies;
    }
    Bench::Report(QStringLiteral("search:children"), {{QStringLiteral("zombies"), zombies}});
    return 0;
}
