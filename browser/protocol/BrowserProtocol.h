#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The line protocol between the main program and the browser helper: commands
// on the helper's standard input, answers on its standard output. Full
// description in PROTOCOL.md; in short:
//
//   show\n                 bring the browser window to the front
//   navigate <argument>\n  load the URL in the window's browser
//
//   ok\n                   the command was carried out
//   error <argument>\n     it was refused; the argument is the message
//   fatal <argument>\n     not an answer: the helper is ending, and why
//
// A line is ASCII only; the argument is escaped as LineArgument says, so it
// never contains a space, CR or LF.
namespace BrowserProtocol {

struct Command
{
    enum class Kind { Show, Navigate };
    Kind kind = Kind::Show;
    QString url; // Navigate only
};

QByteArray EncodeShow();
QByteArray EncodeNavigate(const QString& url);

// One line without its "\n" (a trailing "\r" is tolerated). Nothing for an
// unknown command or a malformed argument.
std::optional<Command> DecodeLine(const QByteArray& line);

struct Answer
{
    enum class Kind { Ok, Error, Fatal };
    Kind kind = Kind::Ok;
    QString message; // Error and Fatal only
};

QByteArray EncodeAnswer(const Answer& answer);
// The same rules as DecodeLine.
std::optional<Answer> DecodeAnswer(const QByteArray& line);

} // namespace BrowserProtocol
