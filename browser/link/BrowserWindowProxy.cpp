#include "BrowserWindowProxy.h"

#include "BrowserProtocol.h"
#include "HelperProgram.h"
#include "QuelmError.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QScopedValueRollback>

#include <cstdio>

using BrowserProtocol::Answer;

namespace {

// The engine needs a moment to write cookies and cache on its way out.
constexpr int kQuitTimeoutMs = 5000;
// A helper whose input broke may still be on its way out; then it ended
// rather than stopped listening.
constexpr int kEndingTimeoutMs = 200;
// Enough for the dynamic loader's or the engine's last message.
constexpr qsizetype kErrorTailBytes = 4096;

const QString kRestartHint = QStringLiteral("再次搜索或打开Quelm浏览器时会重新启动它");
const QString kEnginePackage = QStringLiteral("Debian 软件包 libqt6webenginewidgets6（Qt WebEngine）");

} // namespace

BrowserWindowProxy::BrowserWindowProxy(QString helperPath, QObject* parent)
    : QObject(parent), m_helperPath(std::move(helperPath))
{
}

BrowserWindowProxy::~BrowserWindowProxy()
{
    if (!m_helper)
        return;
    disconnect(m_helper, nullptr, this, nullptr);
    m_helper->closeWriteChannel();
    if (!m_helper->waitForFinished(kQuitTimeoutMs)) {
        m_helper->kill();
        m_helper->waitForFinished(1000);
    }
}

void BrowserWindowProxy::Show()
{
    send(BrowserProtocol::EncodeShow());
}

void BrowserWindowProxy::Navigate(const QString& url)
{
    send(BrowserProtocol::EncodeNavigate(url));
}

bool BrowserWindowProxy::isHelperRunning() const
{
    return m_helper && m_helper->state() == QProcess::Running;
}

void BrowserWindowProxy::setAnswerTimeouts(int firstMs, int laterMs)
{
    m_firstAnswerTimeoutMs = firstMs;
    m_answerTimeoutMs = laterMs;
}

QString BrowserWindowProxy::defaultHelperPath()
{
    return defaultHelperPath(QCoreApplication::applicationDirPath());
}

QString BrowserWindowProxy::defaultHelperPath(const QString& executableDir)
{
    return HelperProgram::PathBeside(executableDir, QStringLiteral("quelm-browser"));
}

void BrowserWindowProxy::send(const QByteArray& line)
{
    // Whatever happens to the helper from here on, this call reports it.
    const QScopedValueRollback calling(m_calling, true);
    ensureHelper();

    const int timeoutMs = m_answered ? m_answerTimeoutMs : m_firstAnswerTimeoutMs;
    const QDeadlineTimer deadline(timeoutMs);
    const auto hung = [timeoutMs] {
        return QStringLiteral("Quelm浏览器没有响应：%1 秒内没有应答，已将它关闭。").arg(timeoutMs / 1000.0) +
               kRestartHint;
    };

    m_helper->write(line);
    if (!m_helper->waitForBytesWritten(int(deadline.remainingTime()))) {
        const bool broken = m_helper->error() == QProcess::WriteError;
        if (m_helper->state() != QProcess::Running || m_helper->waitForFinished(kEndingTimeoutMs))
            failHelper(endedMessage());
        if (broken)
            failHelper(QStringLiteral("Quelm浏览器没有响应：与内置浏览器程序的连接已断开，请再试一次"));
        failHelper(hung());
    }

    for (;;) {
        if (const std::optional<Answer> answer = readAnswer()) {
            m_answered = true;
            if (answer->kind == Answer::Kind::Error)
                throw QuelmError(answer->message);
            return;
        }
        if (m_helper->state() != QProcess::Running)
            failHelper(endedMessage());
        if (deadline.hasExpired())
            failHelper(hung());
        m_helper->waitForReadyRead(int(deadline.remainingTime()));
    }
}

void BrowserWindowProxy::ensureHelper()
{
    if (!m_helper) {
        startHelper();
        return;
    }
    // Notices a helper that ended since the last call even when the event
    // loop has not run in between (several navigations of one search).
    if (m_helper->state() == QProcess::Running)
        m_helper->waitForFinished(0);
    if (m_helper->state() != QProcess::Running)
        failHelper(endedMessage());
}

void BrowserWindowProxy::startHelper()
{
    auto* helper = new QProcess(this);
    helper->setProgram(m_helperPath);
    if (const QString problem = HelperProgram::Start(*helper, QStringLiteral("内置浏览器程序")); !problem.isEmpty()) {
        delete helper;
        throw QuelmError(QStringLiteral("无法打开Quelm浏览器：") + problem);
    }
    connect(helper, &QProcess::readyReadStandardError, this, &BrowserWindowProxy::takeHelperOutput);
    connect(helper, &QProcess::finished, this, [this, helper] { onHelperFinished(helper); });
    m_helper = helper;
    m_answered = false;
    m_fatal.clear();
    m_errorTail.clear();
}

// The next answer, once a whole line of it is there; the helper's last words
// are no answer and are kept for the message.
std::optional<Answer> BrowserWindowProxy::readAnswer()
{
    while (m_helper->canReadLine()) {
        const std::optional<Answer> answer = BrowserProtocol::DecodeAnswer(m_helper->readLine().chopped(1));
        if (answer && answer->kind == Answer::Kind::Fatal)
            m_fatal = answer->message;
        else if (answer)
            return answer;
    }
    return std::nullopt;
}

// The helper's standard error still reaches ours, for diagnostics; its end is
// kept for the message should the helper end.
void BrowserWindowProxy::takeHelperOutput()
{
    const QByteArray errors = m_helper->readAllStandardError();
    if (errors.isEmpty())
        return;
    std::fwrite(errors.constData(), 1, size_t(errors.size()), stderr);
    m_errorTail = (m_errorTail + errors).right(kErrorTailBytes);
}

void BrowserWindowProxy::onHelperFinished(QProcess* helper)
{
    if (helper != m_helper || m_calling)
        return;
    const QString message = endedMessage();
    discardHelper();
    emit helperFailed(message);
}

void BrowserWindowProxy::failHelper(const QString& message)
{
    discardHelper();
    throw QuelmError(message);
}

QString BrowserWindowProxy::endedMessage()
{
    // QProcess reads the pipes before it reaps the helper, but only a waited answer decodes what it
    // read: a failed write or a helper found ended before the next call would lose its last words.
    while (readAnswer()) {
        // only its last words matter now
    }
    takeHelperOutput();
    const QString how = HelperProgram::HowItEnded(*m_helper);
    if (!m_answered) {
        if (const QString library = HelperProgram::LibraryProblem(m_errorTail); !library.isEmpty())
            return QStringLiteral("无法启动Quelm浏览器：无法载入运行库%1。请安装 %2后再试")
                .arg(library, kEnginePackage);
        if (!m_fatal.isEmpty())
            return QStringLiteral("无法启动Quelm浏览器：") + m_fatal;
        return QStringLiteral("无法启动Quelm浏览器：内置浏览器程序“%1”启动后立即退出（%2）。请检查 %3是否完整安装")
            .arg(HelperProgram::Shown(m_helperPath), how, kEnginePackage);
    }
    QString message = QStringLiteral("Quelm浏览器意外退出（%1）。").arg(how) + kRestartHint;
    if (!m_fatal.isEmpty())
        message += QStringLiteral("。网页引擎的消息：") + m_fatal;
    return message;
}

void BrowserWindowProxy::discardHelper()
{
    disconnect(m_helper, nullptr, this, nullptr);
    if (m_helper->state() != QProcess::NotRunning) {
        m_helper->kill();
        m_helper->waitForFinished(1000);
    }
    // May be inside one of the process's own signals.
    m_helper->deleteLater();
    m_helper = nullptr;
}
