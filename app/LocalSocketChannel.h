#pragma once

#include "InstanceChannel.h"

#include <QtGlobal>

#include <memory>

#include <sys/types.h>

class QSocketNotifier;
struct sockaddr_un;

// The channel as a Unix socket in the user's private runtime folder, with a lock file beside it
// so that two programs started at once never both serve. A request is two lines, the start-up
// ID and the activation token; the server answers one byte and only to its own user.
class LocalSocketChannel final : public InstanceChannel
{
public:
    // An empty path means no channel: claiming fails without a word.
    explicit LocalSocketChannel(QString socketPath);
    ~LocalSocketChannel() override;
    Q_DISABLE_COPY_MOVE(LocalSocketChannel)

    // The socket for this user and the display the program will show on; empty without either.
    static QString SessionSocketPath();

    Claim ClaimOrForward(std::chrono::milliseconds bound, const LaunchActivation& launch) override;
    void Serve(std::function<void(const LaunchActivation&)> onRequest) override;
    QString Error() const override { return m_error; }

private:
    enum class Ask { Answered, Silent, Absent, Failed };
    Ask AskRunning(const sockaddr_un& address, const QByteArray& request,
                   std::chrono::steady_clock::time_point deadline);
    bool Listen(const sockaddr_un& address);
    void ReleaseClaim();
    void TakeRequests();
    // False when the start closed without waiting for the answer.
    static bool ReadRequest(int connection, LaunchActivation& launch);
    Claim Fail(const char* what);

    QString m_path;
    QString m_error;
    int m_lock = -1;
    int m_listener = -1;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void(const LaunchActivation&)> m_onRequest;
};
