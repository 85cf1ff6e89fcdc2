#include "SingleInstance.h"

#include "LocalSocketChannel.h"
#include "StartupFeedback.h"

#include <cstdio>

namespace {

// An idle program answers within milliseconds, from its event loop. A program that is still
// starting is waited for: a tenth of a second here, a few seconds from a cold disk at log-on
// while the desktop starts everything else. Twenty seconds cover that with room; a program
// that has not answered by then is stuck, and a second one beside it would not help.
constexpr std::chrono::seconds kBound{20};

} // namespace

SingleInstance::SingleInstance()
    : m_channel(std::make_unique<LocalSocketChannel>(LocalSocketChannel::SessionSocketPath()))
{
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Outcome SingleInstance::BringRunningForward()
{
    switch (m_channel->ClaimOrForward(kBound, LaunchActivation::FromEnvironment())) {
    case LocalSocketChannel::Claim::Forwarded:
        EndStartupFeedback();
        return Outcome::Forwarded;
    case LocalSocketChannel::Claim::Serving:
        return Outcome::StartHere;
    case LocalSocketChannel::Claim::NoAnswer:
        std::fprintf(stderr,
                     "quelm: 已在运行的程序在 %d 秒内没有应答，不再启动第二个。\n"
                     "quelm: the running program did not answer within %d s; not starting a second one.\n",
                     int(kBound.count()), int(kBound.count()));
        return Outcome::NotAnswering;
    case LocalSocketChannel::Claim::Failed:
        if (const QByteArray error = m_channel->Error().toLocal8Bit(); !error.isEmpty())
            std::fprintf(stderr,
                         "quelm: 无法查看是否已有程序在运行（%s），照常启动。\n"
                         "quelm: cannot look for a running program (%s); starting anyway.\n",
                         error.constData(), error.constData());
        return Outcome::StartHere;
    }
    return Outcome::StartHere;
}

void SingleInstance::Listen(std::function<void(const LaunchActivation&)> comeForward)
{
    m_channel->Serve(std::move(comeForward));
}

QString SingleInstance::NotAnsweringMessage()
{
    return QStringLiteral("QUELM搜索寻踪客已在运行，但%1秒内没有应答。请等它的窗口出现，或结束它后再启动")
        .arg(kBound.count());
}
