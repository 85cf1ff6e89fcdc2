#include "BrowserWindowProxy.h"

#include "BrowserHelperError.h"
#include "BrowserProtocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

constexpr int kStartTimeoutMs = 3000;
// A line fits the pipe at once; waiting only matters for a helper that
// stopped reading, which then shows up here instead of later.
constexpr int kWriteTimeoutMs = 500;
// The engine needs a moment to write cookies and cache on its way out.
constexpr int kQuitTimeoutMs = 5000;

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
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

void BrowserWindowProxy::ensureHelper()
{
    if (m_helper) {
        // Notices a helper that ended since the last call even when the event
        // loop has not run in between (several navigations of one search).
        if (m_helper->state() == QProcess::Running)
            m_helper->waitForFinished(0);
        if (m_helper->state() == QProcess::Running)
            return;
        discardHelper();
    }

    const QFileInfo info(m_helperPath);
    if (!info.exists())
        throw BrowserHelperError(
            QStringLiteral("无法打开Quelm浏览器：找不到内置浏览器程序“%1”").arg(Shown(m_helperPath)));
    if (!info.isFile() || !info.isExecutable())
        throw BrowserHelperError(
            QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”不是可执行文件").arg(Shown(m_helperPath)));

    auto* helper = new QProcess(this);
    helper->setProgram(m_helperPath);
    helper->setProcessChannelMode(QProcess::ForwardedChannels);
    helper->start();
    if (!helper->waitForStarted(kStartTimeoutMs)) {
        const QString reason = helper->errorString();
        helper->kill();
        helper->waitForFinished(1000);
        delete helper;
        throw BrowserHelperError(QStringLiteral("无法打开Quelm浏览器：内置浏览器程序“%1”启动失败（%2）")
                                     .arg(Shown(m_helperPath), reason));
    }
    m_helper = helper;
}

void BrowserWindowProxy::send(const QByteArray& line)
{
    ensureHelper();
    bool sent = m_helper->write(line) == line.size();
    if (sent && !m_helper->waitForBytesWritten(kWriteTimeoutMs))
        sent = m_helper->error() != QProcess::WriteError && m_helper->state() == QProcess::Running;
    if (!sent) {
        discardHelper();
        throw BrowserHelperError(
            QStringLiteral("Quelm浏览器没有响应：与内置浏览器程序的连接已断开，请再试一次"));
    }
}

void BrowserWindowProxy::discardHelper()
{
    if (m_helper->state() != QProcess::NotRunning) {
        m_helper->kill();
        m_helper->waitForFinished(1000);
    }
    delete m_helper;
    m_helper = nullptr;
}
