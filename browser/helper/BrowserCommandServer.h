#pragma once

#include "BrowserProtocol.h"

#include <QObject>
#include <QThread>

#include <functional>

class BrowserCommandReader;
class TForm5;

// The helper's end of the protocol: reads the commands on a thread of its own
// and answers each one in order once it is checked and queued for the window,
// so a window busy bringing up the engine delays no answer and the main
// program, which waits for each answer, is never held up by it.
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

    TForm5& m_form;
    NavigationCheck m_check;
    int m_answerFd;
    QThread m_thread;
    BrowserCommandReader* m_reader = nullptr;
};
