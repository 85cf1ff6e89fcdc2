#pragma once

#include "BrowserProtocol.h"
#include "BuiltInBrowser.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <optional>

class QProcess;

// Form5 on the main program's side. The window itself lives in the helper
// program quelm-browser, which links the browser engine so that this program
// does not have to; the helper is started on the first call, receives the
// calls in order over its standard input and answers each one. A call waits
// for that answer (never for the engine or a page) and throws
// QuelmError when the helper refused the call, ended, or did not
// answer in time; a helper that ends while no call waits is reported through
// helperFailed. Either way it is reported once, and the next call starts a
// new helper. The helper quits when its input closes, so it never outlives
// this object or this program.
class BrowserWindowProxy final : public QObject, public BuiltInBrowser
{
    Q_OBJECT
public:
    // How long a call waits for the helper's answer. The first call of a
    // helper waits for it to start (its window up, reading its input): a
    // fraction of a second, seconds from a cold disk on a busy machine.
    // Later answers take a millisecond, however busy the helper's window is
    // (its input thread answers); a helper silent for seconds has stopped.
    static constexpr int kFirstAnswerTimeoutMs = 10000;
    static constexpr int kAnswerTimeoutMs = 4000;

    explicit BrowserWindowProxy(QString helperPath = defaultHelperPath(), QObject* parent = nullptr);
    ~BrowserWindowProxy() override;
    Q_DISABLE_COPY_MOVE(BrowserWindowProxy)

    void Show() override;
    void Navigate(const QString& url) override;

    bool isHelperRunning() const;
    void setAnswerTimeouts(int firstMs, int laterMs);

    // quelm-browser beside the executable; for an installed program, where the
    // packaging puts it under lib/ instead, ../lib/quelm/quelm-browser.
    static QString defaultHelperPath();
    static QString defaultHelperPath(const QString& executableDir);

signals:
    // The helper ended while no call was waiting on it (the window was open,
    // or idle); the message says so and why.
    void helperFailed(const QString& message);

private:
    void ensureHelper();
    void startHelper();
    void send(const QByteArray& line);
    std::optional<BrowserProtocol::Answer> readAnswer();
    void takeHelperOutput();
    void onHelperFinished(QProcess* helper);
    [[noreturn]] void failHelper(const QString& message);
    QString endedMessage();
    void discardHelper();

    QString m_helperPath;
    QProcess* m_helper = nullptr;
    int m_firstAnswerTimeoutMs = kFirstAnswerTimeoutMs;
    int m_answerTimeoutMs = kAnswerTimeoutMs;
    bool m_calling = false;      // a call is waiting on the helper and reports what happens
    bool m_answered = false;     // the helper answered at least once: it did start
    QString m_fatal;             // the helper's last words, if it had any
    QByteArray m_errorTail;      // the end of its standard error
};
