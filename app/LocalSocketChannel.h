#pragma once

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
// serve. The first to claim it serves it; a later one asks the server to come forward. A
// connection is the whole request; the server answers one byte and only to its own user.
class LocalSocketChannel final
{
public:
    enum class Claim {
        Serving,   // nobody was there, or only what a crashed program left: this program serves
        Forwarded, // a running program took the request: this one has nothing more to do
        NoAnswer,  // a program holds the channel but did not answer in time: this one took it over
        Failed,    // the channel cannot be used (Error() says why, when it is worth saying)
    };

    // An empty path means no channel: claiming fails without a word.
    explicit LocalSocketChannel(QString socketPath);
    ~LocalSocketChannel();
    Q_DISABLE_COPY_MOVE(LocalSocketChannel)

    // The socket for this user and the display the program will show on; empty without either.
    static QString SessionSocketPath();

    // Runs before the event loop exists and waits about `answerBound` at most.
    Claim ClaimOrForward(std::chrono::milliseconds answerBound);
    // Once the event loop exists: onRequest runs on the GUI thread for every later start.
    // Does nothing unless the claim left this program serving.
    void Serve(std::function<void()> onRequest);
    QString Error() const { return m_error; }

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
