// The floor for one search: a bare program that starts the xdg-open stand-in a given number of
// times, exactly as XdgOpenBrowser starts the browser (QProcess::startDetached), and nothing else.
//   bench_spawn STANDIN COUNT REPS
#include "BenchSupport.h"

#include <QProcess>
#include <QStringList>

#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s STANDIN COUNT REPS\n", argv[0]);
        return 2;
    }
    const QString standin = QString::fromLocal8Bit(argv[1]);
    const int count = std::atoi(argv[2]);
    const int reps = std::atoi(argv[3]);
    const QStringList arguments{QStringLiteral("http://www.google.com/search?q=quelm")};
    std::vector<double> times;
    for (int rep = -3; rep < reps; ++rep) {   // three rounds to warm up
        const qint64 start = Bench::NowNs();
        for (int i = 0; i < count; ++i) {
            if (!QProcess::startDetached(standin, arguments))
                return 1;
        }
        if (rep >= 0)
            times.push_back((Bench::NowNs() - start) / 1000.0);
    }
    Bench::Report(QStringLiteral("spawn"), {{QStringLiteral("opens"), count},
                                             {QStringLiteral("median_us"), Bench::Median(times)},
                                             {QStringLiteral("vmrss_kb"), double(Bench::StatusKb(0, "VmRSS"))}});
    return 0;
}
