#pragma once

#include <QString>

#include <chrono>
#include <functional>

// Where the programs one user runs on one display meet. The first to claim it serves it; a
// later one that finds it served asks the server to come forward. Nothing but the request
// itself passes through it. The local socket in the runtime folder is the real one.
class InstanceChannel
{
public:
    enum class Claim {
        Serving,   // nobody was there, or only what a crashed program left: this program serves
        Forwarded, // a running program took the request: this one has nothing more to do
        NoAnswer,  // a program holds the channel but did not answer in time: this one took it over
        Failed,    // the channel cannot be used (Error() says why, when it is worth saying)
    };

    virtual ~InstanceChannel() = default;

    // Runs before the event loop exists and waits about `answerBound` at most.
    virtual Claim ClaimOrForward(std::chrono::milliseconds answerBound) = 0;
    // Once the event loop exists: onRequest runs on the GUI thread for every later start.
    // Does nothing unless the claim left this program serving.
    virtual void Serve(std::function<void()> onRequest) = 0;
    virtual QString Error() const = 0;
};
