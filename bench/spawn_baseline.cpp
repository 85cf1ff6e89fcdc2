// The floor for one search: a bare program that starts the xdg-open stand-in a given number of
// times, the way XdgOpenBrowser starts the browser (posix_spawn in a session of its own), and
// nothing else. With "qprocess" it uses QProcess::startDetached instead, for comparison.
//   bench_spawn STANDIN COUNT REPS [qprocess]
#include "BenchSupport.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

bool Spawn(const QByteArray& program, const QByteArray& argument, std::vector<pid_t>& children)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(argument.constData()), nullptr};
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.constData(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error == 0)
        children.push_back(pid);
    return error == 0;
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
