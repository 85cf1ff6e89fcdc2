#include "DesktopEntry.h"

#include <QByteArrayList>
#include <QStringDecoder>

namespace {

const QString MainGroup = QStringLiteral("Desktop Entry");

bool mustEscapeInQuotes(QChar c)
{
    return c == u'"' || c == u'`' || c == u'$' || c == u'\\';
}

bool isArgumentSeparator(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Expands %% and drops field codes; nullopt for a code the format does not know.
std::optional<QString> expandFieldCodes(const QString& token, bool* hadFieldCode)
{
    static const QString fieldCodes = QStringLiteral("fFuUdDnNickvm");
    QString out;
    out.reserve(token.size());
    for (qsizetype i = 0; i < token.size(); ++i) {
        if (token.at(i) != u'%') {
            out.append(token.at(i));
            continue;
        }
        if (++i == token.size())
            return std::nullopt;
        if (token.at(i) == u'%')
            out.append(u'%');
        else if (fieldCodes.contains(token.at(i)))
            *hadFieldCode = true;
        else
            return std::nullopt;
    }
    return out;
}

bool isKeyName(QStringView key)
{
    qsizetype end = key.size();
    const qsizetype bracket = key.indexOf(u'[');
    if (bracket >= 0) {
        if (!key.endsWith(u']') || bracket + 2 > key.size() - 1)
            return false;
        end = bracket;
    }
    if (end == 0)
        return false;
    for (QChar c : key.first(end)) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'-')
            return false;
    }
    return true;
}

QByteArray keyOf(const QByteArray& line)
{
    const qsizetype equals = line.indexOf('=');
    return equals < 0 ? QByteArray() : line.first(equals).trimmed();
}

} // namespace

namespace DesktopEntry {

QString escapeValue(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    bool leading = true;
    for (QChar c : text) {
        if (leading && c == u' ') {
            out.append(QLatin1String("\\s"));
            continue;
        }
        leading = false;
        switch (c.unicode()) {
        case u'\\': out.append(QLatin1String("\\\\")); break;
        case u'\n': out.append(QLatin1String("\\n")); break;
        case u'\t': out.append(QLatin1String("\\t")); break;
        case u'\r': out.append(QLatin1String("\\r")); break;
        default: out.append(c);
        }
    }
    return out;
}

std::optional<QString> unescapeValue(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw.at(i) != u'\\') {
            out.append(raw.at(i));
            continue;
        }
        if (++i == raw.size())
            return std::nullopt;
        switch (raw.at(i).unicode()) {
        case u's': out.append(u' '); break;
        case u'n': out.append(u'\n'); break;
        case u't': out.append(u'\t'); break;
        case u'r': out.append(u'\r'); break;
        case u'\\': out.append(u'\\'); break;
        default: return std::nullopt;
        }
    }
    return out;
}

QString quoteExecArgument(const QString& argument)
{
    QString out;
    out.reserve(argument.size() + 8);
    out.append(u'"');
    for (QChar c : argument) {
        if (mustEscapeInQuotes(c))
            out.append(u'\\');
        else if (c == u'%')
            out.append(u'%');
        out.append(c);
    }
    out.append(u'"');
    return out;
}

std::optional<QString> execValue(const QStringList& arguments)
{
    QStringList quoted;
    quoted.reserve(arguments.size());
    for (const QString& argument : arguments) {
        for (qsizetype i = 0; i < argument.size(); ++i) {
            const char16_t u = argument.at(i).unicode();
            if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0x7F)
                return std::nullopt;
            // Half a surrogate pair has no UTF-8 form: it would be stored as "?".
            if (QChar::isHighSurrogate(u) && i + 1 < argument.size() && argument.at(i + 1).isLowSurrogate())
                ++i;
            else if (QChar::isSurrogate(u))
                return std::nullopt;
        }
        quoted.append(quoteExecArgument(argument));
    }
    return escapeValue(quoted.join(u' '));
}

std::optional<QStringList> splitExecValue(const QString& raw)
{
    const std::optional<QString> text = unescapeValue(raw);
    if (!text)
        return std::nullopt;

    QStringList arguments;
    QString token;
    bool inToken = false;
    bool quoted = false;
    const auto finish = [&]() -> bool {
        bool hadFieldCode = false;
        const std::optional<QString> expanded = expandFieldCodes(token, &hadFieldCode);
        if (!expanded)
            return false;
        // A bare field code stands for nothing when no files are handed over.
        if (!(hadFieldCode && expanded->isEmpty() && !quoted))
            arguments.append(*expanded);
        token.clear();
        inToken = quoted = false;
        return true;
    };

    const QString& s = *text;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (isArgumentSeparator(c)) {
            if (inToken && !finish())
                return std::nullopt;
            continue;
        }
        inToken = true;
        if (c == u'"') {
            quoted = true;
            for (++i;; ++i) {
                if (i == s.size())
                    return std::nullopt; // unterminated quote
                const QChar q = s.at(i);
                if (q == u'"')
                    break;
                if (q == u'\\' && i + 1 < s.size() && mustEscapeInQuotes(s.at(i + 1)))
                    token.append(s.at(++i));
                else
                    token.append(q);
            }
        } else if (c == u'\\' && i + 1 < s.size()) {
            token.append(s.at(++i));
        } else {
            token.append(c);
        }
    }
    if (inToken && !finish())
        return std::nullopt;
    return arguments;
}

std::optional<QMap<QString, QString>> readMainGroup(const QByteArray& contents)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(contents);
    if (decoder.hasError())
        return std::nullopt;

    QMap<QString, QString> keys;
    bool inGroup = false;
    bool inMainGroup = false;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        while (!line.isEmpty() && line.front().isSpace())
            line = line.sliced(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return std::nullopt;
            const QStringView name = line.sliced(1, line.size() - 2);
            if (!inGroup && name != MainGroup)
                return std::nullopt; // the main group must come first
            inMainGroup = name == MainGroup && !inGroup;
            inGroup = true;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals < 0 || !isKeyName(line.first(equals).trimmed()))
            return std::nullopt;
        if (inMainGroup) {
            QStringView value = line.sliced(equals + 1);
            while (!value.isEmpty() && value.front().isSpace())
                value = value.sliced(1);
            keys.insert(line.first(equals).trimmed().toString(), value.toString());
        }
    }
    if (!inGroup)
        return std::nullopt;
    return keys;
}

QByteArray withMainGroupKeys(const QByteArray& contents, const QList<QPair<QString, QString>>& keys)
{
    // Bytes, not text: the lines of another program stay exactly as they were, even where
    // they are not UTF-8.
    const QByteArrayList lines = contents.split('\n');
    const QByteArray header = '[' + MainGroup.toUtf8() + ']';
    QByteArrayList names;
    for (const auto& key : keys)
        names.append(key.first.toUtf8());
    const auto line = [&](qsizetype k) { return names.at(k) + '=' + keys.at(k).second.toUtf8(); };

    qsizetype begin = -1;
    for (qsizetype i = 0; i < lines.size() && begin < 0; ++i) {
        if (lines.at(i).trimmed() == header)
            begin = i;
    }

    QByteArrayList out;
    QList<bool> written(keys.size(), false);
    const auto appendMissing = [&]() {
        for (qsizetype k = 0; k < keys.size(); ++k) {
            if (!written.at(k))
                out.append(line(k));
            written[k] = true;
        }
    };

    if (begin < 0) {
        out.append(header);
        appendMissing();
        if (!(lines.size() == 1 && lines.first().isEmpty()))
            out.append(lines);
        else
            out.append(QByteArray());
        return out.join('\n');
    }

    qsizetype end = begin + 1;
    while (end < lines.size() && !lines.at(end).trimmed().startsWith('['))
        ++end;
    qsizetype lastContent = begin;
    for (qsizetype i = begin + 1; i < end; ++i) {
        if (!lines.at(i).trimmed().isEmpty())
            lastContent = i;
    }

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool inGroup = i > begin && i < end;
        const qsizetype k = inGroup ? names.indexOf(keyOf(lines.at(i))) : -1;
        if (k < 0) {
            out.append(lines.at(i));
        } else if (!written.at(k)) {
            out.append(line(k));
            written[k] = true;
        } // later duplicates of a key that was set are dropped
        if (i == lastContent)
            appendMissing();
    }
    return out.join('\n');
}

std::optional<bool> parseBoolean(const QString& raw)
{
    if (raw == QLatin1String("true") || raw == QLatin1String("1"))
        return true;
    if (raw == QLatin1String("false") || raw == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace DesktopEntry
