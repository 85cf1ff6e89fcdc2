#pragma once

#include "InstanceChannel.h"

#include <QtGlobal>

#include <memory>

#include <sys/types.h>

class QSocketNotifier;
struct sockaddr_un;

// The channel as a Unix socket in the user's private runtime folder, with a lock file beside it
// so that two programs started at once never both serve. A connection is the whole request;
// the server answers one byte and only to its own user.
class LocalSocketChannel final : public InstanceChannel
{
public:
    // An empty path means no channel: claiming fails without a word.
    explicit LocalSocketChannel(QString socketPath);
    ~LocalSocketChannel() override;
    Q_DISABLE_COPY_MOVE(LocalSocketChannel)

    // The socket for this user and the display the program will show on; empty without either.
    static QString SessionSocketPath();

    Claim ClaimOrForward(std::chrono::milliseconds answerBound) override;
    void Serve(std::function<void()> onRequest) override;
    QString Error() const override { return m_error; }

private:
    enum class Ask { Answered, Silent, Absent, Failed };
    Ask AskRunning(const sockaddr_un& address, std::chrono::milliseconds answerBound);
    bool Listen(const sockaddr_un& address);
    void TakeRequests();
    Claim Fail(const char* what);

    QString m_path;
    QString m_error;
    int m_listener = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onRequest;
};
