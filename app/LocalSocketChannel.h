#pragma once

#include "LaunchActivation.h"

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>

#include <sys/types.h>

class QSocketNotifier;
struct sockaddr_un;

// Where the programs one user runs on one display meet: a Unix socket in the user's private
// runtime folder, with a lock file beside it so that two programs started at once never both
// serve. The first to claim it serves it; a later one asks the server to come forward, handing
// over what its launcher gave it to take the focus. A request is two lines, the start-up ID and
// the activation token; the server answers one byte and only to its own user.
class LocalSocketChannel final
{
public:
    enum class Claim {
        Serving,   // nobody was there, or only what a crashed program left: this program serves
        Forwarded, // a running program took the request: this one has nothing more to do
        NoAnswer,  // a program holds the channel but did not answer in time, or is still starting
        Failed,    // the channel cannot be used (Error() says why, when it is worth saying)
    };

    // An empty path means no channel: claiming fails without a word.
    explicit LocalSocketChannel(QString socketPath);
    ~LocalSocketChannel();
    Q_DISABLE_COPY_MOVE(LocalSocketChannel)

    // The socket for this user and the display the program will show on; empty without either.
    static QString SessionSocketPath();

    // Runs before the event loop exists and waits about `bound` for a program that holds the
    // channel, starting or running. A claim that serves is held until Serve's event loop runs,
    // so that a later start waits for this program instead of taking the channel over.
    Claim ClaimOrForward(std::chrono::milliseconds bound, const LaunchActivation& launch);
    // onRequest runs on the GUI thread for every later start, with what its launcher gave it.
    // Does nothing unless the claim left this program serving.
    void Serve(std::function<void(const LaunchActivation&)> onRequest);
    QString Error() const { return m_error; }

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
