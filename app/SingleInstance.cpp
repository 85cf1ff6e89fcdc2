#include "SingleInstance.h"

#include "LocalSocketChannel.h"
#include "StartupFeedback.h"

#include <cstdio>

namespace {

// An idle program answers within milliseconds, from its event loop. The longest wait that is
// no fault is a start while the running program is itself still starting: a tenth of a second
// here, about a second from a cold disk at log-on. Two seconds cover that and are still less
// than a user waits for a window before clicking the launcher again.
constexpr std::chrono::milliseconds kAnswerBound{2000};

} // namespace

SingleInstance::SingleInstance()
    : m_channel(std::make_unique<LocalSocketChannel>(LocalSocketChannel::SessionSocketPath()))
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::BringRunningForward()
{
    switch (m_channel->ClaimOrForward(kAnswerBound)) {
    case LocalSocketChannel::Claim::Forwarded:
        EndStartupFeedback();
        return true;
    case LocalSocketChannel::Claim::Serving:
        return false;
    case LocalSocketChannel::Claim::NoAnswer:
        std::fprintf(stderr,
                     "quelm: 已在运行的程序在 %d 秒内没有应答，照常启动。\n"
                     "quelm: the running program did not answer within %d s; starting anyway.\n",
                     int(kAnswerBound.count() / 1000), int(kAnswerBound.count() / 1000));
        return false;
    case LocalSocketChannel::Claim::Failed:
        if (const QByteArray error = m_channel->Error().toLocal8Bit(); !error.isEmpty())
            std::fprintf(stderr,
                         "quelm: 无法查看是否已有程序在运行（%s），照常启动。\n"
                         "quelm: cannot look for a running program (%s); starting anyway.\n",
                         error.constData(), error.constData());
        return false;
    }
    return false;
}

void SingleInstance::Listen(std::function<void()> comeForward)
{
    m_channel->Serve(std::move(comeForward));
}
