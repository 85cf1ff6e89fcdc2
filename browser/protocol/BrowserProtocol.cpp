#include "BrowserProtocol.h"

#include "HexDigit.h"

namespace BrowserProtocol {

namespace {

const QByteArray kShow = QByteArrayLiteral("show");
const QByteArray kNavigate = QByteArrayLiteral("navigate");
const QByteArray kOk = QByteArrayLiteral("ok");
const QByteArray kError = QByteArrayLiteral("error");
const QByteArray kFatal = QByteArrayLiteral("fatal");

bool StandsForItself(char16_t unit)
{
    return unit >= u'!' && unit <= u'~' && unit != u'\\';
}

QByteArray WithoutCarriageReturn(const QByteArray& line)
{
    return line.endsWith('\r') ? line.chopped(1) : line;
}

// The argument of "<word> <argument>", or nothing when the line is not of that form.
std::optional<QString> ArgumentOf(const QByteArray& line, const QByteArray& word)
{
    if (!line.startsWith(word + ' '))
        return std::nullopt;
    return UnescapeArgument(line.mid(word.size() + 1));
}

} // namespace

QByteArray EscapeArgument(const QString& text)
{
    static const char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (StandsForItself(unit)) {
            out.append(char(unit));
        } else if (unit == u'\\') {
            out.append("\\\\");
        } else {
            out.append("\\u");
            out.append(kHex[(unit >> 12) & 0xF]);
            out.append(kHex[(unit >> 8) & 0xF]);
            out.append(kHex[(unit >> 4) & 0xF]);
            out.append(kHex[unit & 0xF]);
        }
    }
    return out;
}

std::optional<QString> UnescapeArgument(const QByteArray& argument)
{
    QString out;
    out.reserve(argument.size());
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const char c = argument.at(i);
        if (c != '\\') {
            if (!StandsForItself(char16_t(uchar(c))))
                return std::nullopt;
            out.append(QChar(char16_t(uchar(c))));
            continue;
        }
        if (i + 1 < argument.size() && argument.at(i + 1) == '\\') {
            out.append(u'\\');
            ++i;
            continue;
        }
        if (i + 5 >= argument.size() || argument.at(i + 1) != 'u')
            return std::nullopt;
        char16_t unit = 0;
        for (int k = 2; k <= 5; ++k) {
            const int v = HexDigit(argument.at(i + k));
            if (v < 0)
                return std::nullopt;
            unit = char16_t((unit << 4) | v);
        }
        out.append(QChar(unit));
        i += 5;
    }
    return out;
}

QByteArray EncodeShow()
{
    return kShow + '\n';
}

QByteArray EncodeNavigate(const QString& url)
{
    return kNavigate + ' ' + EscapeArgument(url) + '\n';
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
        return kError + ' ' + EscapeArgument(answer.message) + '\n';
    case Answer::Kind::Fatal:
        return kFatal + ' ' + EscapeArgument(answer.message) + '\n';
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
