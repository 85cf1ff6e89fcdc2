#include "BrowserWindowProxy.h"

#include "QuelmError.h"
#include "BrowserProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopedValueRollback>

#include <cstdio>
#include <cstring>

using BrowserProtocol::Answer;

namespace {

constexpr int kStartTimeoutMs = 3000;
// The engine needs a moment to write cookies and cache on its way out.
constexpr int kQuitTimeoutMs = 5000;
// A helper whose input broke may still be on its way out; then it ended
// rather than stopped listening.
constexpr int kEndingTimeoutMs = 200;
// Enough for the dynamic loader's or the engine's last message.
constexpr qsizetype kErrorTailBytes = 4096;

const QString kRestartHint = QStringLiteral("再次搜索或打开Quelm浏览器时会重新启动它");
const QString kEnginePackage = QStringLiteral("Debian 软件包 libqt6webenginewidgets6（Qt WebEngine）");

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString SignalName(int signal)
{
    if (const char* name = ::sigabbrev_np(signal))
        return QStringLiteral("SIG") + QString::fromLatin1(name);
    return QString::number(signal);
}

// The dynamic loader's complaint, "…: error while loading shared libraries: <library>: <reason>",
// as "“<library>”（<reason>）"; empty when there is none.
QString LibraryProblem(const QByteArray& errors)
{
    static const QRegularExpression loader(
        QStringLiteral("error while loading shared libraries: ([^:\\n]+): ([^\\n]*)"));
    const QRegularExpressionMatch match = loader.match(QString::fromLocal8Bit(errors));
    return match.hasMatch() ? QStringLiteral("“%1”（%2）").arg(match.captured(1), match.captured(2).trimmed())
                            : QString();
}

} // namespace

BrowserWindowProxy::BrowserWindowProxy(QString helperPath, QObject* parent)
    : QObject(parent)
    , m_helperPath(std::move(helperPath))
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
    const QDir dir(executableDir);
    const QString beside = dir.filePath(QStringLiteral("quelm-browser"));
    const QString installed = QDir::cleanPath(dir.filePath(QStringLiteral("../lib/quelm/quelm-browser")));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

void BrowserWindowProxy::send(const QByteArray& line)
{
    // Whatever happens to the helper from here on, this call reports it.
    const QScopedValueRollback calling(m_calling, true);
    ensureHelper();

    const int timeoutMs = m_answered ? m_answerTimeoutMs : m_firstAnswerTimeoutMs;
    const QDeadlineTimer deadline(timeoutMs);
    const auto hung = [timeoutMs] {
        return QStringLiteral("Quelm浏览器没有响应：%1 秒内没有应答，已将它关闭。").arg(timeoutMs / 1000.0) + kRestartHint;
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
    const QFileInfo info(m_helperPath);
    if (!info.exists())
        throw QuelmError(
            QStringLiteral("无法打开Quelm浏览器：找不到内置浏览器程序“%1”").arg(Shown(m_helperPath)));
    if (!info.isFile() || !info.isExecutable())
        throw QuelmError(
            QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”不是可执行文件").arg(Shown(m_helperPath)));

    auto* helper = new QProcess(this);
    helper->setProgram(m_helperPath);
    helper->start();
    if (!helper->waitForStarted(kStartTimeoutMs)) {
        const QString reason = helper->errorString();
        helper->kill();
        helper->waitForFinished(1000);
        delete helper;
        throw QuelmError(QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”启动失败（%2）")
                                     .arg(Shown(m_helperPath), reason));
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
    // After a crash QProcess reports the signal's number as the exit code.
    const QString how = m_helper->exitStatus() == QProcess::CrashExit
        ? QStringLiteral("被信号 %1 终止").arg(SignalName(m_helper->exitCode()))
        : QStringLiteral("退出码 %1").arg(m_helper->exitCode());
    if (!m_answered) {
        if (const QString library = LibraryProblem(m_errorTail); !library.isEmpty())
            return QStringLiteral("无法启动Quelm浏览器：无法载入运行库%1。请安装 %2后再试")
                .arg(library, kEnginePackage);
        if (!m_fatal.isEmpty())
            return QStringLiteral("无法启动Quelm浏览器：") + m_fatal;
        return QStringLiteral("无法启动Quelm浏览器：内置浏览器程序“%1”启动后立即退出（%2）。请检查 %3是否完整安装")
            .arg(Shown(m_helperPath), how, kEnginePackage);
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
