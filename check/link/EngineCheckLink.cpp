#include "EngineCheckLink.h"

#include "CheckProtocol.h"
#include "HelperProgram.h"
#include "QuelmError.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

namespace {

// Enough for the dynamic loader's last message.
constexpr qsizetype kErrorTailBytes = 4096;

const QString kHelperName = QStringLiteral("检测程序");

} // namespace

EngineCheckLink::EngineCheckLink(QString helperPath, QObject* parent)
    : QObject(parent), m_helperPath(std::move(helperPath))
{
}

EngineCheckLink::~EngineCheckLink()
{
    Stop();
}

QString EngineCheckLink::DefaultHelperPath()
{
    return HelperProgram::PathBeside(QCoreApplication::applicationDirPath(), QStringLiteral("quelm-check"));
}

void EngineCheckLink::Start(const QStringList& urls)
{
    if (m_helper)
        return;
    auto* helper = new QProcess(this);
    helper->setProgram(m_helperPath);
    if (m_timeoutMs > 0)
        helper->setArguments({QStringLiteral("--timeout-ms"), QString::number(m_timeoutMs)});
    if (const QString problem = HelperProgram::Start(*helper, kHelperName); !problem.isEmpty()) {
        delete helper;
        throw QuelmError(QStringLiteral("无法检测搜索引擎：") + problem);
    }
    m_helper = helper;
    m_answered = QList<bool>(urls.size(), false);
    m_answerCount = 0;
    m_fatal.clear();
    m_errorTail.clear();
    connect(helper, &QProcess::readyReadStandardOutput, this, &EngineCheckLink::ReadAnswers);
    connect(helper, &QProcess::readyReadStandardError, this, &EngineCheckLink::TakeErrors);
    connect(helper, &QProcess::finished, this, &EngineCheckLink::HelperEnded);
    QByteArray requests;
    for (int i = 0; i < urls.size(); ++i)
        requests += CheckProtocol::EncodeRequest({i, urls.at(i)});
    helper->write(requests);
    helper->closeWriteChannel();
}

void EngineCheckLink::Stop()
{
    if (m_helper)
        Discard();
}

void EngineCheckLink::ReadAnswers()
{
    while (m_helper && m_helper->canReadLine()) {
        const std::optional<CheckProtocol::Answer> answer =
            CheckProtocol::DecodeAnswer(m_helper->readLine().chopped(1));
        if (!answer)
            continue;
        if (answer->index < 0) {
            m_fatal = answer->status.detail;
        } else if (answer->index < m_answered.size() && !m_answered.at(answer->index)) {
            m_answered[answer->index] = true;
            ++m_answerCount;
            Q_EMIT Checked(answer->index, answer->status); // may stop the check
        }
    }
}

// The helper's standard error still reaches ours, for diagnostics; its end is kept for the
// message should the helper fail.
void EngineCheckLink::TakeErrors()
{
    const QByteArray errors = m_helper->readAllStandardError();
    std::fwrite(errors.constData(), 1, size_t(errors.size()), stderr);
    m_errorTail = (m_errorTail + errors).right(kErrorTailBytes);
}

void EngineCheckLink::HelperEnded()
{
    ReadAnswers();
    if (!m_helper)
        return;
    TakeErrors();
    const bool complete = m_answerCount == m_answered.size() && m_helper->exitStatus() == QProcess::NormalExit &&
                          m_helper->exitCode() == 0;
    QString message;
    if (!complete) {
        message = QStringLiteral("检测没有完成：%1“%2”意外结束（%3），已检测 %4/%5。")
                      .arg(kHelperName, HelperProgram::Shown(m_helperPath), HelperProgram::HowItEnded(*m_helper))
                      .arg(m_answerCount)
                      .arg(m_answered.size());
        if (const QString library = HelperProgram::LibraryProblem(m_errorTail); !library.isEmpty())
            message += QStringLiteral("无法载入运行库%1，请安装 Debian 软件包 libqt6network6。").arg(library);
        else if (!m_fatal.isEmpty())
            message += m_fatal;
    }
    Discard();
    if (complete)
        Q_EMIT Finished();
    else
        Q_EMIT Failed(message);
}

void EngineCheckLink::Discard()
{
    QProcess* helper = std::exchange(m_helper, nullptr);
    disconnect(helper, nullptr, this, nullptr);
    if (helper->state() != QProcess::NotRunning) {
        helper->kill();
        helper->waitForFinished(1000);
    }
    // May be inside one of the process's own signals.
    helper->deleteLater();
}
