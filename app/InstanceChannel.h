#pragma once

#include "LaunchActivation.h"

#include <QString>

#include <chrono>
#include <functional>

// Where the programs one user runs on one display meet. The first to claim it serves it; a
// later one that finds it served asks the server to come forward, handing over what its
// launcher gave it to take the focus. The local socket in the runtime folder is the real one.
class InstanceChannel
{
public:
    enum class Claim {
        Serving,   // nobody was there, or only what a crashed program left: this program serves
        Forwarded, // a running program took the request: this one has nothing more to do
        NoAnswer,  // a program holds the channel but did not answer in time, or is still starting
        Failed,    // the channel cannot be used (Error() says why, when it is worth saying)
    };

    virtual ~InstanceChannel() = default;

    // Runs before the event loop exists and waits about `bound` for a program that holds the
    // channel, starting or running. A claim that serves is held until Serve's event loop runs,
    // so that a later start waits for this program instead of taking the channel over.
    virtual Claim ClaimOrForward(std::chrono::milliseconds bound, const LaunchActivation& launch) = 0;
    // onRequest runs on the GUI thread for every later start, with what its launcher gave it.
    // Does nothing unless the claim left this program serving.
    virtual void Serve(std::function<void(const LaunchActivation&)> onRequest) = 0;
    virtual QString Error() const = 0;
};
