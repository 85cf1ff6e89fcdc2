#include "LocalSocketChannel.h"

#include "DisplayPlatform.h"

#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <algorithm>
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

// What an idle program needs to answer, with room: the least a start that got the lock waits.
constexpr std::chrono::milliseconds kAnswerFloor{2000};
// A request follows its connection at once; an older program's start sends none.
constexpr std::chrono::milliseconds kRequestWait{100};
// Two lines, the start-up ID and the activation token, each possibly empty.
constexpr qsizetype kMaxRequest = 2 * 256;
// Out of descriptors (or memory) to take a request with: the request waits in the queue.
constexpr std::chrono::milliseconds kAcceptRetry{250};

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
    if (m_listener >= 0) {
        // A start that asks from now on finds nobody and puts its own socket in place, under the
        // lock. Held by such a start, the path is its own; else it is ours while we hold it.
        ::close(m_listener);
        const QByteArray path = QFile::encodeName(m_path);
        struct stat file;
        if (::flock(m_lock, LOCK_EX | LOCK_NB) == 0 && ::stat(path.constData(), &file) == 0
            && file.st_dev == m_device && file.st_ino == m_inode)
            ::unlink(path.constData());
    }
    if (m_lock >= 0)
        ::close(m_lock);
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

LocalSocketChannel::Claim LocalSocketChannel::ClaimOrForward(std::chrono::milliseconds bound,
                                                          const LaunchActivation& launch)
{
    if (m_path.isEmpty() || m_lock >= 0)
        return Claim::Failed;
    sockaddr_un address;
    if (!addressOf(QFile::encodeName(m_path), address)) {
        m_error = QStringLiteral("path too long: %1").arg(m_path);
        return Claim::Failed;
    }
    // Asking and taking over is one step under this lock, and a program that serves holds it
    // until it can answer, so a start never takes the place of one that is still starting.
    // The lock goes with its holder, however that ends.
    m_lock = ::open(QFile::encodeName(m_path + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                    0600);
    if (m_lock < 0)
        return Fail("open the lock file");
    const auto deadline = Clock::now() + bound;
    if (!lockBefore(m_lock, deadline))
        return Claim::NoAnswer;
    const QByteArray request = launch.startupId + '\n' + launch.activationToken + '\n';
    const Ask asked = AskRunning(address, request, std::max(deadline, Clock::now() + kAnswerFloor));
    if (asked == Ask::Absent && Listen(address))
        return Claim::Serving;
    ReleaseClaim();
    switch (asked) {
    case Ask::Answered:
        return Claim::Forwarded;
    case Ask::Silent:
        return Claim::NoAnswer;
    default:
        return Claim::Failed;
    }
}

LocalSocketChannel::Ask LocalSocketChannel::AskRunning(const sockaddr_un& address, const QByteArray& request,
                                                       std::chrono::steady_clock::time_point deadline)
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
    // Fits the socket's buffer whole; a program that ended meanwhile is not there.
    if (::send(socket.get(), request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size())
        return errno == EPIPE || errno == ECONNRESET ? Ask::Absent : (Fail("send"), Ask::Failed);
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
    // Whatever is there belongs to a program that has ended.
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

void LocalSocketChannel::Serve(std::function<void(const LaunchActivation&)> onRequest)
{
    if (m_listener < 0 || m_notifier)
        return;
    m_onRequest = std::move(onRequest);
    m_notifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { TakeRequests(); });
    // Once the event loop runs, requests are answered: later starts may ask.
    QMetaObject::invokeMethod(m_notifier.get(), [this] { ReleaseClaim(); }, Qt::QueuedConnection);
}

void LocalSocketChannel::ReleaseClaim()
{
    if (m_lock >= 0)
        ::flock(m_lock, LOCK_UN);
}

void LocalSocketChannel::TakeRequests()
{
    for (;;) {
        const Descriptor connection(::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (connection.get() < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            // The connection stays queued and the socket readable: listening on would spin.
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                m_notifier->setEnabled(false);
                QTimer::singleShot(kAcceptRetry, m_notifier.get(), [notifier = m_notifier.get()] {
                    notifier->setEnabled(true);
                });
            }
            return;
        }
        ucred peer{};
        socklen_t size = sizeof peer;
        if (::getsockopt(connection.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid())
            continue;
        LaunchActivation launch;
        if (!ReadRequest(connection.get(), launch))
            continue;
        // Comes forward before it answers: the start ends the launcher's feedback once answered.
        m_onRequest(launch);
        ::send(connection.get(), "!", 1, MSG_NOSIGNAL);
    }
}

bool LocalSocketChannel::ReadRequest(int connection, LaunchActivation& launch)
{
    const auto deadline = Clock::now() + kRequestWait;
    QByteArray request;
    char buffer[kMaxRequest + 1];
    while (request.count('\n') < 2 && request.size() <= kMaxRequest) {
        pollfd incoming{connection, POLLIN, 0};
        const int ready = ::poll(&incoming, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        // Closed: the start gave up waiting.
        if (got <= 0)
            return false;
        request.append(buffer, got);
    }
    const QList<QByteArray> lines = request.split('\n');
    if (request.size() <= kMaxRequest && lines.size() == 3) {
        launch.startupId = LaunchActivation::WellFormed(lines[0]) ? lines[0] : QByteArray();
        launch.activationToken = LaunchActivation::WellFormed(lines[1]) ? lines[1] : QByteArray();
    }
    return true;
}

LocalSocketChannel::Claim LocalSocketChannel::Fail(const char* what)
{
    m_error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
    return Claim::Failed;
}
