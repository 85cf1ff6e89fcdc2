#pragma once

#include "LaunchActivation.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

class LocalSocketChannel;

// One program per user and display: a second start brings the running program forward and
// ends. A start while the running program is still starting waits for it; one that does not
// answer within the bound is not started beside, the user is told instead.
class SingleInstance final
{
public:
    enum class Outcome {
        StartHere,      // nobody else serves (or the channel cannot be used): this program runs
        Forwarded,      // the running program came forward: end
        NotAnswering,   // a program holds the channel but did not answer: say so and end
    };

    SingleInstance();
    ~SingleInstance();
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // Before the application object exists, so that a second start connects to no display.
    Outcome BringRunningForward();
    // Once the main window exists: comeForward runs for every later start.
    void Listen(std::function<void(const LaunchActivation&)> comeForward);

    // The error box's text for NotAnswering.
    static QString NotAnsweringMessage();

private:
    std::unique_ptr<LocalSocketChannel> m_channel;
};
