#include "XdgOpenBrowser.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The browsers started here are children of this process, so it has to collect them when they end;
// nothing ever waits for one. With an event loop, each child's pidfd reports its end; otherwise (or
// on a kernel without pidfds) finished children are collected at the next start.
class ChildReaper
{
public:
    static ChildReaper& instance()
    {
        static ChildReaper reaper;
        return reaper;
    }

    void adopt(pid_t pid)
    {
        collectFinished();
        const int fd = pidfdOpen(pid);
        if (fd >= 0 && QAbstractEventDispatcher::instance(QThread::currentThread())) {
            // Owned by the application, so that a browser still open when the program ends
            // does not leave its notifier behind.
            auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, QCoreApplication::instance());
            QObject::connect(notifier, &QSocketNotifier::activated, notifier, [pid, fd, notifier] {
                notifier->setEnabled(false);
                ::waitpid(pid, nullptr, WNOHANG);
                ::close(fd);
                notifier->deleteLater();
            });
            return;
        }
        if (fd >= 0)
            ::close(fd);
        m_pending.append(pid);
    }

private:
    static int pidfdOpen(pid_t pid)
    {
#ifdef SYS_pidfd_open
        return int(::syscall(SYS_pidfd_open, pid, 0));
#else
        Q_UNUSED(pid);
        return -1;
#endif
    }

    void collectFinished()
    {
        m_pending.removeIf([](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; });
    }

    QList<pid_t> m_pending;
};

} // namespace

int XdgOpenBrowser::Spawn(const QByteArray& program, const QByteArray& argument, pid_t* pid)
{
    posix_spawnattr_t attributes;
    if (int error = posix_spawnattr_init(&attributes))
        return error;
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(argument.constData()), nullptr};
    const int error = posix_spawn(pid, program.constData(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return error;
}

void XdgOpenBrowser::open(const QString& url)
{
    const QString name = QStringLiteral("xdg-open");
    // Looked up on every call: PATH may change, and a missing program must be reported, not ignored.
    const QString program = QStandardPaths::findExecutable(name);
    if (program.isEmpty())
        throw QuelmError(
            QStringLiteral("无法打开浏览器：找不到程序“%1”。请安装 xdg-utils 软件包后再试。").arg(name));
    // posix_spawn rather than a double fork: this process is large, and copying its page tables
    // for every ticked row cost more than the start of the program itself.
    pid_t pid = 0;
    if (Spawn(QFile::encodeName(program), url.toLocal8Bit(), &pid) != 0)
        throw QuelmError(QStringLiteral("无法打开浏览器：程序“%1”（%2）不能启动。").arg(name, program));
    ChildReaper::instance().adopt(pid);
}
