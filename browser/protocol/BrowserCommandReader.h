#pragma once

#include "BrowserProtocol.h"

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// The helper's end of the protocol: reads lines from a file descriptor (its
// standard input) on the event loop and hands out the commands in order.
class BrowserCommandReader final : public QObject
{
    Q_OBJECT
public:
    explicit BrowserCommandReader(int fd = 0, QObject* parent = nullptr);
    ~BrowserCommandReader() override;
    Q_DISABLE_COPY_MOVE(BrowserCommandReader)

signals:
    void commandReceived(const BrowserProtocol::Command& command);
    void malformedLine(const QByteArray& line);
    // The writer closed its end (or reading failed): the helper should quit.
    void endOfInput();

private:
    void readAvailable();
    void dispatchLines();

    int m_fd = 0;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_buffer;
    bool m_dispatching = false;
    bool m_atEnd = false;
    bool m_endReported = false;
};
