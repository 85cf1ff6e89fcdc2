#pragma once

#include "EngineStatus.h"

#include <QList>
#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Asks search addresses whether they still answer: one GET each, following at most 5 redirects,
// several at once, each within a time limit. It reads only the status line and headers and ends
// the transfer there, so an endless or huge body costs nothing. No cookies are sent or kept, and
// nothing is stored.
class EngineProbe final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 5;
    static constexpr int kParallel = 8;
    static constexpr int kTimeoutMs = 10000;

    explicit EngineProbe(QObject* parent = nullptr);
    ~EngineProbe() override;
    Q_DISABLE_COPY_MOVE(EngineProbe)

    void SetTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Queues the address; its answer comes as Checked with the same index.
    void Check(int index, const QString& url);
    bool IsIdle() const { return m_waiting.isEmpty() && m_running.isEmpty(); }

Q_SIGNALS:
    void Checked(int index, const EngineStatus& status);
    // Every queued address is answered.
    void Idle();

private:
    struct Job
    {
        int index;
        QUrl url;
        int redirects = 0;
        QNetworkReply* reply = nullptr;
        QTimer* deadline = nullptr;
    };

    void Schedule();
    void StartNext();
    void Ask(Job* job);
    void HeadersArrived(Job* job);
    void ReplyFinished(Job* job);
    void Finish(Job* job, const EngineStatus& status);
    void DropReply(Job* job);

    QNetworkAccessManager* m_network;
    QList<Job*> m_waiting;
    QList<Job*> m_running;
    int m_timeoutMs = kTimeoutMs;
    bool m_scheduled = false;
    bool m_busy = false; // addresses were queued since the last Idle
};
