#pragma once

#include "BrowserProtocol.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class BrowserCommandReader;
class QSemaphore;
class TForm5;

// The helper's end of the protocol: reads the commands on a thread of its own
// and answers each one in order. A navigation is answered once its address is
// checked and queued for the window, so a window busy bringing up the engine
// delays no answer; "show" is answered once the window is on the screen, so
// a window that stopped responding shows up as a missing answer.
class BrowserCommandServer final : public QObject
{
    Q_OBJECT
public:
    // Why a navigation to the address would be refused, or an empty text.
    // Called on the input thread.
    using NavigationCheck = std::function<QString(const QString& url)>;

    BrowserCommandServer(TForm5& form, NavigationCheck check, int inputFd, int answerFd, QObject* parent = nullptr);
    // Stops reading; answers in flight are dropped.
    ~BrowserCommandServer() override;
    Q_DISABLE_COPY_MOVE(BrowserCommandServer)

    // Writes one line in one go; safe from any thread.
    static void WriteAnswer(int answerFd, const BrowserProtocol::Answer& answer);

signals:
    // The main program closed the input: the helper should quit.
    void endOfInput();
    // The window refused a command that was already answered.
    void commandFailed(const QString& message);

private:
    void execute(const BrowserProtocol::Command& command);
    void showWindow();
    void releaseOnScreen(const std::shared_ptr<QSemaphore>& shown, QDeadlineTimer deadline);

    TForm5& m_form;
    NavigationCheck m_check;
    int m_answerFd;
    std::atomic<bool> m_stopping = false;
    QThread m_thread;
    BrowserCommandReader* m_reader = nullptr;
};
