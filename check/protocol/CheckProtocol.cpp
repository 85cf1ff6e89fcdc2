#include "CheckProtocol.h"

#include "LineArgument.h"

#include <QList>

#include <algorithm>
#include <array>

namespace CheckProtocol {

namespace {

using Kind = EngineStatus::Kind;

constexpr std::array<std::pair<Kind, const char*>, 5> kKinds{{{Kind::Ok, "ok"},
                                                              {Kind::HttpError, "http"},
                                                              {Kind::Redirects, "redirects"},
                                                              {Kind::Unreachable, "unreachable"},
                                                              {Kind::Timeout, "timeout"}}};

QList<QByteArray> WordsOf(const QByteArray& rawLine)
{
    const QByteArray line = rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine;
    return line.split(' ');
}

std::optional<int> NumberOf(const QByteArray& word)
{
    bool ok = false;
    const int value = word.toInt(&ok);
    return ok && value >= 0 && !word.startsWith('+') ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QByteArray EncodeRequest(const Request& request)
{
    return "check " + QByteArray::number(request.index) + ' ' + LineArgument::Escape(request.url) + '\n';
}

std::optional<Request> DecodeRequest(const QByteArray& line)
{
    const QList<QByteArray> words = WordsOf(line);
    if (words.size() != 3 || words.at(0) != "check")
        return std::nullopt;
    const std::optional<int> index = NumberOf(words.at(1));
    const std::optional<QString> url = LineArgument::Unescape(words.at(2));
    if (!index || !url)
        return std::nullopt;
    return Request{*index, *url};
}

QByteArray EncodeStatus(int index, const EngineStatus& status)
{
    QByteArray kind;
    for (const auto& [k, word] : kKinds)
        if (k == status.kind)
            kind = word;
    return "status " + QByteArray::number(index) + ' ' + kind + ' ' + QByteArray::number(status.httpCode) + ' ' +
           LineArgument::Escape(status.detail) + '\n';
}

QByteArray EncodeFatal(const QString& message)
{
    return "fatal " + LineArgument::Escape(message) + '\n';
}

std::optional<Answer> DecodeAnswer(const QByteArray& line)
{
    const QList<QByteArray> words = WordsOf(line);
    if (words.size() == 2 && words.at(0) == "fatal") {
        const std::optional<QString> message = LineArgument::Unescape(words.at(1));
        if (!message)
            return std::nullopt;
        return Answer{-1, EngineStatus{Kind::Unreachable, 0, *message}};
    }
    if (words.size() != 5 || words.at(0) != "status")
        return std::nullopt;
    const std::optional<int> index = NumberOf(words.at(1));
    const std::optional<int> code = NumberOf(words.at(3));
    const std::optional<QString> detail = LineArgument::Unescape(words.at(4));
    const auto kind =
        std::find_if(kKinds.cbegin(), kKinds.cend(), [&](const auto& entry) { return words.at(2) == entry.second; });
    if (!index || !code || !detail || kind == kKinds.cend())
        return std::nullopt;
    return Answer{*index, EngineStatus{kind->first, *code, *detail}};
}

} // namespace CheckProtocol
