#include "BrowserProtocol.h"

namespace BrowserProtocol {

namespace {

const QByteArray kShow = QByteArrayLiteral("show");
const QByteArray kNavigate = QByteArrayLiteral("navigate");

bool StandsForItself(char16_t unit)
{
    return unit >= u'!' && unit <= u'~' && unit != u'\\';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
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
            const int v = HexValue(argument.at(i + k));
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

QByteArray Encode(const Command& command)
{
    return command.kind == Command::Kind::Show ? EncodeShow() : EncodeNavigate(command.url);
}

std::optional<Command> DecodeLine(const QByteArray& rawLine)
{
    const QByteArray line = rawLine.endsWith('\r') ? rawLine.chopped(1) : rawLine;
    if (line == kShow)
        return Command{Command::Kind::Show, {}};
    // "navigate " with an empty argument is the empty URL.
    if (line.startsWith(kNavigate + ' ')) {
        const std::optional<QString> url = UnescapeArgument(line.mid(kNavigate.size() + 1));
        if (!url)
            return std::nullopt;
        return Command{Command::Kind::Navigate, *url};
    }
    return std::nullopt;
}

} // namespace BrowserProtocol
