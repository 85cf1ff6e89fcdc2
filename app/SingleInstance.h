#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

class LocalSocketChannel;

// One program per user and display: a second start brings the running program forward and
// ends. A running program that does not answer in time does not hold the new one up.
class SingleInstance final
{
public:
    SingleInstance();
    ~SingleInstance();
    Q_DISABLE_COPY_MOVE(SingleInstance)

    // Before the application object exists, so that a second start connects to no display:
    // true when a running program has come forward and this one should end.
    bool BringRunningForward();
    // Once the main window exists: comeForward runs for every later start.
    void Listen(std::function<void()> comeForward);

private:
    std::unique_ptr<LocalSocketChannel> m_channel;
};
