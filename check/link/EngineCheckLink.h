#pragma once

#include "EngineStatus.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

// The check on the main program's side. The network library lives only in the helper program
// quelm-check, started for each check: this object hands it the addresses and turns its answers
// into signals, on the event loop, so that the window stays usable while engines answer.
class EngineCheckLink final : public QObject
{
    Q_OBJECT
public:
    explicit EngineCheckLink(QString helperPath = DefaultHelperPath(), QObject* parent = nullptr);
    ~EngineCheckLink() override;
    Q_DISABLE_COPY_MOVE(EngineCheckLink)

    // quelm-check beside the executable, or under ../lib/quelm for an installed program.
    static QString DefaultHelperPath();

    void SetHelperPath(const QString& path) { m_helperPath = path; }
    // How long the helper waits for each address; 0 leaves its own limit.
    void SetTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Checks the addresses; throws QuelmError when the helper cannot be started. Does nothing
    // while a check runs.
    void Start(const QStringList& urls);
    // Ends the check at once: no answer comes after it.
    void Stop();
    bool IsRunning() const { return m_helper != nullptr; }

Q_SIGNALS:
    // The index is the address's place in Start's list.
    void Checked(int index, const EngineStatus& status);
    // Every address is answered.
    void Finished();
    // The helper ended before it answered every address; the message says so and why.
    void Failed(const QString& message);

private:
    void ReadAnswers();
    void TakeErrors();
    void HelperEnded();
    void Discard();

    QString m_helperPath;
    QProcess* m_helper = nullptr;
    int m_timeoutMs = 0;
    QList<bool> m_answered;
    int m_answerCount = 0;
    QString m_fatal;
    QByteArray m_errorTail;
};
