#pragma once

#include "EngineStatus.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The line protocol between the main program and the check helper quelm-check. The main program
// writes every address, then closes the helper's input; the helper answers each in the order the
// answers come, and ends when all are answered. Stopping a check is ending the helper.
//
//   check <index> <argument>                      ask the address (the argument)
//
//   status <index> <kind> <code> <argument>       what the address did; the argument is the
//                                                 detail, kind one of ok http redirects
//                                                 unreachable timeout
//   fatal <argument>                              the helper cannot go on, and why
//
// Lines are ASCII; arguments are escaped as LineArgument says. A trailing "\r" is tolerated.
namespace CheckProtocol {

struct Request
{
    int index = 0;
    QString url;
};

struct Answer
{
    int index = -1;      // -1 for fatal
    EngineStatus status; // fatal: the message in detail
};

QByteArray EncodeRequest(const Request& request);
std::optional<Request> DecodeRequest(const QByteArray& line);

QByteArray EncodeStatus(int index, const EngineStatus& status);
QByteArray EncodeFatal(const QString& message);
// Nothing for a malformed line.
std::optional<Answer> DecodeAnswer(const QByteArray& line);

} // namespace CheckProtocol
