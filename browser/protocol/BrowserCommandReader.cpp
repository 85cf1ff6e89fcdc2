#include "BrowserCommandReader.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

BrowserCommandReader::BrowserCommandReader(int fd, QObject* parent)
    : QObject(parent)
    , m_fd(fd)
    , m_notifier(new QSocketNotifier(fd, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &BrowserCommandReader::readAvailable);
}

BrowserCommandReader::~BrowserCommandReader() = default;

void BrowserCommandReader::readAvailable()
{
    char chunk[16384];
    ssize_t n = 0;
    do {
        n = ::read(m_fd, chunk, sizeof chunk);
    } while (n < 0 && errno == EINTR);

    if (n > 0) {
        m_buffer.append(chunk, qsizetype(n));
        dispatchLines();
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return;

    m_notifier->setEnabled(false);
    // A last line without its "\n" still counts.
    if (!m_buffer.isEmpty() && !m_buffer.endsWith('\n'))
        m_buffer.append('\n');
    m_atEnd = true;
    dispatchLines();
}

void BrowserCommandReader::dispatchLines()
{
    // A receiver may spin a nested event loop; lines read meanwhile wait here
    // for the outer loop, so that commands keep their order.
    if (m_dispatching)
        return;
    m_dispatching = true;
    struct Reset
    {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_dispatching};

    qsizetype end = 0;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        if (const auto command = BrowserProtocol::DecodeLine(line))
            emit commandReceived(*command);
        else
            emit malformedLine(line);
    }
    if (m_atEnd && !m_endReported) {
        m_endReported = true;
        emit endOfInput();
    }
}
