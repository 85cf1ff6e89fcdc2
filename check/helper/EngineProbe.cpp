#include "EngineProbe.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <utility>

namespace {

using Kind = EngineStatus::Kind;

// Some engines answer a client that does not say it is a browser with an error page.
const QByteArray kUserAgent =
    QByteArrayLiteral("Mozilla/5.0 (X11; Linux x86_64; rv:115.0) Gecko/20100101 Firefox/115.0 quelm-check");

QString Shown(const QUrl& url)
{
    return url.toDisplayString();
}

} // namespace

EngineProbe::EngineProbe(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

EngineProbe::~EngineProbe()
{
    for (Job* job : std::as_const(m_running))
        DropReply(job);
    qDeleteAll(m_running);
    qDeleteAll(m_waiting);
}

void EngineProbe::Check(int index, const QString& url)
{
    m_waiting.append(new Job{index, QUrl(url, QUrl::StrictMode)});
    m_busy = true;
    Schedule();
}

// Later, so that no answer comes before its caller returns and no start runs inside another.
void EngineProbe::Schedule()
{
    if (!std::exchange(m_scheduled, true))
        QMetaObject::invokeMethod(this, &EngineProbe::StartNext, Qt::QueuedConnection);
}

void EngineProbe::StartNext()
{
    m_scheduled = false;
    while (m_running.size() < kParallel && !m_waiting.isEmpty()) {
        Job* job = m_waiting.takeFirst();
        m_running.append(job);
        job->deadline = new QTimer(this);
        job->deadline->setSingleShot(true);
        connect(job->deadline, &QTimer::timeout, this, [this, job] {
            Finish(job, {Kind::Timeout, 0,
                         QStringLiteral("%1 秒内没有应答：%2").arg(m_timeoutMs / 1000.0).arg(Shown(job->url))});
        });
        job->deadline->start(m_timeoutMs);
        Ask(job);
    }
    if (IsIdle() && std::exchange(m_busy, false))
        Q_EMIT Idle();
}

void EngineProbe::Ask(Job* job)
{
    const QUrl& url = job->url;
    if (!url.isValid() || url.host().isEmpty()) {
        Finish(job, {Kind::Unreachable, 0, QStringLiteral("网址中没有有效的主机名：%1").arg(url.toString())});
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        Finish(job, {Kind::Unreachable, 0,
                     QStringLiteral("只能检测 http 和 https 网址，不能检测“%1”：%2").arg(url.scheme(), Shown(url))});
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setHeader(QNetworkRequest::UserAgentHeader, kUserAgent);
    request.setRawHeader("Accept", "text/html,*/*;q=0.8");
    request.setRawHeader("Accept-Language", "zh-CN,zh;q=0.9");
    job->reply = m_network->get(request);
    job->reply->setReadBufferSize(64 * 1024);
    connect(job->reply, &QNetworkReply::metaDataChanged, this, [this, job] { HeadersArrived(job); });
    connect(job->reply, &QNetworkReply::finished, this, [this, job] { ReplyFinished(job); });
}

// The status is all a check needs: the transfer ends here, whatever body follows.
void EngineProbe::HeadersArrived(Job* job)
{
    QNetworkReply* reply = job->reply;
    const QVariant code = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!code.isValid())
        return;
    const int status = code.toInt();
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    const QByteArray location = reply->rawHeader("Location");
    if (status >= 300 && status < 400 && !location.isEmpty()) {
        const QUrl next = reply->url().resolved(QUrl::fromEncoded(location.trimmed()));
        DropReply(job);
        if (++job->redirects > kMaxRedirects) {
            Finish(job,
                   {Kind::Redirects, status,
                    QStringLiteral("重定向过多：%1 次后仍在重定向，最后到了 %2").arg(kMaxRedirects).arg(Shown(next))});
            return;
        }
        job->url = next;
        Ask(job);
        return;
    }
    const QString where = QStringLiteral("HTTP %1 %2：%3").arg(status).arg(reason, Shown(reply->url()));
    if (status >= 200 && status < 300)
        Finish(job, {Kind::Ok, status, where});
    else if (status >= 300)
        Finish(job, {Kind::HttpError, status, where});
}

void EngineProbe::ReplyFinished(Job* job)
{
    QNetworkReply* reply = job->reply;
    if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid()) {
        HeadersArrived(job);
        if (job->reply != reply)
            return; // answered, or gone on to the next address of a redirect
    }
    const QString host = job->url.host();
    QString why;
    switch (reply->error()) {
    case QNetworkReply::HostNotFoundError:
        why = QStringLiteral("找不到主机名“%1”").arg(host);
        break;
    case QNetworkReply::ConnectionRefusedError:
        why = QStringLiteral("%1 拒绝连接").arg(host);
        break;
    case QNetworkReply::RemoteHostClosedError:
        why = QStringLiteral("%1 未作应答就断开了连接").arg(host);
        break;
    case QNetworkReply::SslHandshakeFailedError:
        why = QStringLiteral("与 %1 的 TLS 握手失败：%2").arg(host, reply->errorString());
        break;
    default:
        why = QStringLiteral("%1：%2").arg(host, reply->errorString());
        break;
    }
    Finish(job, {Kind::Unreachable, 0, why});
}

void EngineProbe::Finish(Job* job, const EngineStatus& status)
{
    DropReply(job);
    job->deadline->stop();
    job->deadline->deleteLater(); // may be inside its own signal
    m_running.removeOne(job);
    const int index = job->index;
    delete job;
    Q_EMIT Checked(index, status);
    Schedule();
}

void EngineProbe::DropReply(Job* job)
{
    QNetworkReply* reply = std::exchange(job->reply, nullptr);
    if (!reply)
        return;
    disconnect(reply, nullptr, this, nullptr);
    // Later: it may be inside one of its own signals, and a reply with an HTTP error has that
    // error on its way, which an abort right now would report a second time.
    QTimer::singleShot(0, reply, [reply] {
        reply->abort();
        reply->deleteLater();
    });
}
