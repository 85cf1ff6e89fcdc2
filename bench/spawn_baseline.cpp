// The floor for one search: a bare program that starts the xdg-open stand-in a given number of
// times with XdgOpenBrowser's own start (posix_spawn in a session of its own), and nothing else.
// With "qprocess" it uses QProcess::startDetached instead, for comparison.
//   bench_spawn STANDIN COUNT REPS [qprocess]
#include "BenchSupport.h"
#include "XdgOpenBrowser.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool Spawn(const QByteArray& program, const QByteArray& argument, std::vector<pid_t>& children)
{
    pid_t pid = 0;
    if (XdgOpenBrowser::Spawn(program, argument, &pid) != 0)
        return false;
    children.push_back(pid);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s STANDIN COUNT REPS [qprocess]\n", argv[0]);
        return 2;
    }
    const QByteArray standin(argv[1]);
    const int count = std::atoi(argv[2]);
    const int reps = std::atoi(argv[3]);
    const bool qprocess = argc > 4 && std::strcmp(argv[4], "qprocess") == 0;
    const QByteArray url("http://www.google.com/search?q=quelm");
    std::vector<double> times;
    std::vector<pid_t> children;
    for (int rep = -3; rep < reps; ++rep) {   // three rounds to warm up
        const qint64 start = Bench::NowNs();
        for (int i = 0; i < count; ++i) {
            const bool started = qprocess ? QProcess::startDetached(QString::fromLocal8Bit(standin),
                                                                    {QString::fromLatin1(url)})
                                          : Spawn(standin, url, children);
            if (!started)
                return 1;
        }
        if (rep >= 0)
            times.push_back((Bench::NowNs() - start) / 1000.0);
        for (pid_t child : children)   // collected outside the timed part, as the program does
            waitpid(child, nullptr, 0);
        children.clear();
        usleep(30000);   // the same pause between rounds as the search benchmark's

    }
    Bench::Report(QStringLiteral("spawn"), {{QStringLiteral("opens"), count},
                                             {QStringLiteral("median_us"), Bench::Median(times)},
                                             {QStringLiteral("vmrss_kb"), double(Bench::StatusKb(0, "VmRSS"))}});
    return 0;
}
