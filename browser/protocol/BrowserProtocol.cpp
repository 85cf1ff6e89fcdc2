#include "BrowserProtocol.h"

#include "LineArgument.h"

namespace BrowserProtocol {

namespace {

const QByteArray kShow = QByteArrayLiteral("show");
const QByteArray kNavigate = QByteArrayLiteral("navigate");
const QByteArray kOk = QByteArrayLiteral("ok");
const QByteArray kError = QByteArrayLiteral("error");
const QByteArray kFatal = QByteArrayLiteral("fatal");

QByteArray WithoutCarriageReturn(const QByteArray& line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

// The argument of "<word> <argument>", or nothing when the line is not of that form.
std::optional<QString> ArgumentOf(const QByteArray& line, const QByteArray& word)
{
    if (!line.startsWith(word + ' '))
        return std::nullopt;
    return LineArgument::Unescape(line.mid(word.size() + 1));
}

} // namespace

QByteArray EncodeShow()
{
    return kShow + '\n';
}

QByteArray EncodeNavigate(const QString& url)
{
    return kNavigate + ' ' + LineArgument::Escape(url) + '\n';
}

std::optional<Command> DecodeLine(const QByteArray& rawLine)
{
    const QByteArray line = WithoutCarriageReturn(rawLine);
    if (line == kShow)
        return Command{Command::Kind::Show, {}};
    // "navigate " with an empty argument is the empty URL.
    if (const std::optional<QString> url = ArgumentOf(line, kNavigate))
        return Command{Command::Kind::Navigate, *url};
    return std::nullopt;
}

QByteArray EncodeAnswer(const Answer& answer)
{
    switch (answer.kind) {
    case Answer::Kind::Ok:
        break;
    case Answer::Kind::Error:
        return kError + ' ' + LineArgument::Escape(answer.message) + '\n';
    case Answer::Kind::Fatal:
        return kFatal + ' ' + LineArgument::Escape(answer.message) + '\n';
    }
    return kOk + '\n';
}

std::optional<Answer> DecodeAnswer(const QByteArray& rawLine)
{
    const QByteArray line = WithoutCarriageReturn(rawLine);
    if (line == kOk)
        return Answer{};
    if (const std::optional<QString> message = ArgumentOf(line, kError))
        return Answer{Answer::Kind::Error, *message};
    if (const std::optional<QString> message = ArgumentOf(line, kFatal))
        return Answer{Answer::Kind::Fatal, *message};
    return std::nullopt;
}

} // namespace BrowserProtocol
