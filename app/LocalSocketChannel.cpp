#include "LocalSocketChannel.h"

#include "DisplayPlatform.h"

#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Closes a descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(Descriptor)

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

bool addressOf(const QByteArray& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || path.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    return true;
}

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

bool lockBefore(int fd, Clock::time_point deadline)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

} // namespace

LocalSocketChannel::LocalSocketChannel(QString socketPath) : m_path(std::move(socketPath)) {}

LocalSocketChannel::~LocalSocketChannel()
{
    m_notifier.reset();
    if (m_listener < 0)
        return;
    // Take the socket away unless a later program has put its own in its place.
    const QByteArray path = QFile::encodeName(m_path);
    struct stat file;
    if (::stat(path.constData(), &file) == 0 && file.st_dev == m_device && file.st_ino == m_inode)
        ::unlink(path.constData());
    ::close(m_listener);
}

QString LocalSocketChannel::SessionSocketPath()
{
    // A platform with no display of its own shows on nobody's screen.
    if (!DisplayPlatform::UsesDisplayServer())
        return {};
    // X's display when there is one: a Wayland session sets it too, the same on every start.
    QString kind = QStringLiteral("x11");
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty()) {
        kind = QStringLiteral("wayland");
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    } else {
        // ":0", ":0.0" and "unix:0" name one display.
        const qsizetype dot = display.indexOf(QLatin1Char('.'), display.lastIndexOf(QLatin1Char(':')) + 1);
        if (dot >= 0)
            display.truncate(dot);
        if (display.startsWith(QLatin1String("unix:")))
            display.remove(0, 4);
    }
    // Qt makes sure the folder is the user's alone, falling back to one of its own.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (display.isEmpty() || folder.isEmpty())
        return {};
    const QString name = QString::fromLatin1(QUrl::toPercentEncoding(display, ":"));
    return QStringLiteral("%1/quelm-%2-%3.socket").arg(folder, kind, name);
}

LocalSocketChannel::Claim LocalSocketChannel::ClaimOrForward(std::chrono::milliseconds answerBound)
{
    if (m_path.isEmpty())
        return Claim::Failed;
    sockaddr_un address;
    if (!addressOf(QFile::encodeName(m_path), address)) {
        m_error = QStringLiteral("path too long: %1").arg(m_path);
        return Claim::Failed;
    }
    // Asking and taking over is one step under this lock, so two programs started at once never
    // both serve. The lock goes with its holder, however that ends.
    const Descriptor lock(
        ::open(QFile::encodeName(m_path + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lock.get() < 0)
        return Fail("open the lock file");
    // Its holder waits for one answer at most.
    if (!lockBefore(lock.get(), Clock::now() + 2 * answerBound)) {
        m_error = QStringLiteral("another start holds the lock");
        return Claim::Failed;
    }
    const Ask asked = AskRunning(address, answerBound);
    if (asked == Ask::Answered)
        return Claim::Forwarded;
    if (asked == Ask::Failed || !Listen(address))
        return Claim::Failed;
    return asked == Ask::Silent ? Claim::NoAnswer : Claim::Serving;
}

LocalSocketChannel::Ask LocalSocketChannel::AskRunning(const sockaddr_un& address,
                                                       std::chrono::milliseconds answerBound)
{
    const Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.get() < 0)
        return Fail("create a socket"), Ask::Failed;
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        // Nothing there, or what a program that ended left behind.
        if (errno == ENOENT || errno == ECONNREFUSED)
            return Ask::Absent;
        // A full queue: the program there takes no requests.
        if (errno == EAGAIN)
            return Ask::Silent;
        return Fail("connect"), Ask::Failed;
    }
    const auto deadline = Clock::now() + answerBound;
    pollfd answer{socket.get(), POLLIN, 0};
    int ready;
    while ((ready = ::poll(&answer, 1, millisecondsUntil(deadline))) < 0 && errno == EINTR) {
    }
    if (ready <= 0)
        return Ask::Silent;
    // Closed without an answer: the program ended while we asked.
    char byte = 0;
    return ::recv(socket.get(), &byte, 1, 0) == 1 ? Ask::Answered : Ask::Absent;
}

bool LocalSocketChannel::Listen(const sockaddr_un& address)
{
    // Whatever is there belongs to a program that has ended or does not answer.
    ::unlink(address.sun_path);
    Descriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (listener.get() < 0)
        return Fail("create a socket"), false;
    // Only the user may connect, whatever the folder allows. Nothing else runs yet to mind the umask.
    const mode_t mask = ::umask(0077);
    const bool bound = ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(mask);
    struct stat file;
    if (!bound || ::listen(listener.get(), 16) != 0 || ::stat(address.sun_path, &file) != 0)
        return Fail("listen"), false;
    m_device = file.st_dev;
    m_inode = file.st_ino;
    m_listener = listener.release();
    return true;
}

void LocalSocketChannel::Serve(std::function<void()> onRequest)
{
    if (m_listener < 0 || m_notifier)
        return;
    m_onRequest = std::move(onRequest);
    m_notifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { TakeRequests(); });
}

void LocalSocketChannel::TakeRequests()
{
    bool asked = false;
    for (;;) {
        const Descriptor connection(::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (connection.get() < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            break;
        }
        ucred peer{};
        socklen_t size = sizeof peer;
        const bool sameUser =
            ::getsockopt(connection.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
        // The request is the connection alone: a caller that sends anything, or has given up
        // waiting and started on its own, is not answered.
        char byte;
        const bool waiting = ::recv(connection.get(), &byte, 1, 0) < 0 && errno == EAGAIN;
        if (sameUser && waiting && ::send(connection.get(), "!", 1, MSG_NOSIGNAL) == 1)
            asked = true;
    }
    if (asked)
        m_onRequest();
}

LocalSocketChannel::Claim LocalSocketChannel::Fail(const char* what)
{
    m_error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
    return Claim::Failed;
}
