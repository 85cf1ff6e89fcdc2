#include "IniReader.h"

#include "HexDigit.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringDecoder>
#include <QVariant>

#include <algorithm>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The character a one-letter escape stands for; 0 for none.
char simpleEscape(char letter)
{
    switch (letter) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\': return letter;
    default: return 0;
    }
}

struct Line
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1;   // the first "=" outside quotes, from the line's start; -1 for none
};

// The next line from pos on. Blank lines and lines that start with ";" are passed over; a quoted
// part runs on across line breaks; a backslash takes the character after it along (a line break
// too); an unquoted ";" ends the line. False at the end of the text.
bool nextLine(QByteArrayView text, qsizetype& pos, Line& line)
{
    const qsizetype size = text.size();
    qsizetype start = pos;
    while (start < size && isSpace(text[start]))
        ++start;
    qsizetype equals = -1;
    bool quoted = false;
    qsizetype i = start;
    while (i < size) {
        const char c = text[i++];
        if (c == '=') {
            if (!quoted && equals < 0)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!quoted) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char next = text[i++];
                if (i < size && ((next == '\n' && text[i] == '\r') || (next == '\r' && text[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && text[i] != '\n' && text[i] != '\r')
                    ++i;
                while (i < size && isSpace(text[i]))
                    ++i;
                start = i;
            } else if (!quoted) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line = {start, i - start, equals < 0 ? -1 : equals - start};
    return line.length > 0;
}

// A key as QSettings unescapes it: "\" is "/", %XX and %UXXXX are characters.
QString unescapedKey(QByteArrayView bytes)
{
    const QString key = QString::fromUtf8(bytes);
    QString result;
    result.reserve(key.size());
    qsizetype i = 0;
    while (i < key.size()) {
        const QChar c = key[i];
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == key.size() - 1) {
            result += c;
            ++i;
            continue;
        }
        const bool wide = key[i + 1] == u'U';
        const qsizetype first = i + (wide ? 2 : 1);
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const ushort code = first + digits <= key.size() ? QStringView(key).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

// A value's text as QSettings unescapes it: blanks around it dropped unless quoted or escaped,
// C escapes (\x and octal ones run over every digit that follows), quotes removed. list is set
// when an unquoted comma makes it a list; the text is then incomplete.
// The escape whose backslash is just before raw[i], appended to the result; i moves past it.
// False when the value ends with it: the value is then taken as it stands, blanks and all.
bool appendEscape(QByteArrayView raw, qsizetype& i, QString& result)
{
    const qsizetype size = raw.size();
    if (i >= size)
        return false;
    const char e = raw[i++];
    if (const char simple = simpleEscape(e)) {
        result += QLatin1Char(simple);
        return true;
    }
    if ((e == 'x' && i < size && HexDigit(raw[i]) >= 0) || (e >= '0' && e <= '7')) {
        const int base = e == 'x' ? 16 : 8;
        char16_t code = e == 'x' ? 0 : char16_t(e - '0');
        for (int d; i < size && (d = HexDigit(raw[i])) >= 0 && d < base; ++i)
            code = char16_t(code * base + d);
        result += QChar(code);
        return i < size;
    }
    if (e == 'x' && i >= size)
        return false;
    if ((e == '\n' || e == '\r') && i < size && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e)
        ++i;
    return true;
}

QString unescapedValue(QByteArrayView raw, bool& list)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString result;
    list = false;
    bool inQuotes = false;
    bool quoted = false;
    qsizetype i = 0;
    const qsizetype size = raw.size();
    const auto skipBlanks = [&] {
        while (i < size && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
    };
    skipBlanks();
    qsizetype kept = 0;   // blanks before this are kept: they came from an escape or a quote
    while (i < size) {
        const char c = raw[i];
        if (c == '\\') {
            if (!appendEscape(raw, ++i, result))
                return result;
            kept = result.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
                kept = result.size();
            }
        } else if (c == ',' && !inQuotes) {
            list = true;
            return result;
        } else {
            qsizetype end = i + 1;
            while (end < size && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',')
                ++end;
            result += decoder(raw.sliced(i, end - i));
            i = end;
        }
    }
    if (!quoted) {
        while (result.size() > kept && isBlank(result.back()))
            result.chop(1);
    }
    return result;
}

// How many arguments QSettings finds in "@Rect(…)": it starts one at every blank and ")".
qsizetype argumentCount(QStringView text, qsizetype open)
{
    return text.sliced(open + 1).count(u' ') + text.sliced(open + 1).count(u')');
}

IniReader::Value typed(const QString& text)
{
    const IniReader::Value other{IniReader::Kind::OtherType, QString()};
    if (text.startsWith(u'@')) {
        if (text.endsWith(u')')) {
            if (text.startsWith(u"@ByteArray("))
                return other;
            if (text.startsWith(u"@String("))
                return {IniReader::Kind::String, text.sliced(8).chopped(1)};
            if (text.startsWith(u"@Variant(") || text.startsWith(u"@DateTime(")) {
                const bool dateTime = text.at(1) == u'D';
                QByteArray bytes = QStringView(text).sliced(dateTime ? 10 : 9).toLatin1();
                QDataStream stream(&bytes, QIODevice::ReadOnly);
                stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
                QVariant value;
                stream >> value;
                if (value.typeId() == QMetaType::QString)
                    return {IniReader::Kind::String, value.toString()};
                return other;
            }
            if (text.startsWith(u"@Rect(")) {
                if (argumentCount(text, 5) == 4)
                    return other;
            } else if (text.startsWith(u"@Size(")) {
                if (argumentCount(text, 5) == 2)
                    return other;
            } else if (text.startsWith(u"@Point(")) {
                if (argumentCount(text, 6) == 2)
                    return other;
            } else if (text == u"@Invalid()") {
                return other;
            }
        }
        if (text.startsWith(u"@@"))
            return {IniReader::Kind::String, text.sliced(1)};
    }
    return {IniReader::Kind::String, text};
}

} // namespace

IniReader::IniReader(QByteArrayView text)
{
    // QSettings skips a byte-order mark when it looks for sections, but keeps it in the text of
    // the first one.
    qsizetype pos = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    qsizetype sectionStart = 0;
    bool general = true;
    Line line;
    while (nextLine(text, pos, line)) {
        const QByteArrayView content = text.sliced(line.start, line.length);
        if (!content.startsWith('['))
            continue;
        readSection(text.sliced(sectionStart, line.start - sectionStart), general);
        qsizetype close = content.indexOf(']');
        if (close < 0) {
            m_valid = false;
            close = content.size();
        }
        general = content.sliced(1, close - 1).trimmed().compare("general", Qt::CaseInsensitive) == 0;
        sectionStart = pos;
    }
    readSection(text.sliced(sectionStart), general);
}

void IniReader::readSection(QByteArrayView piece, bool general)
{
    qsizetype pos = 0;
    Line line;
    while (nextLine(piece, pos, line)) {
        const QByteArrayView content = piece.sliced(line.start, line.length);
        if (line.equals < 0) {
            if (!content.startsWith(';'))
                m_valid = false;
            continue;
        }
        if (general)
            m_general.append({content.first(line.equals).trimmed(), content.sliced(line.equals + 1)});
    }
}

IniReader::Value IniReader::generalValue(const QString& key) const
{
    const QByteArray plainKey = key.toUtf8();
    // Most keys are plain ASCII, which reads as it stands (UTF-8 decoding drops a byte-order mark).
    const auto matches = [&](QByteArrayView written) {
        const bool plain = std::all_of(written.begin(), written.end(),
                                       [](char c) { return c > 0 && c != '%' && c != '\\'; });
        return plain ? written == plainKey : unescapedKey(written) == key;
    };
    const auto found = std::find_if(m_general.crbegin(), m_general.crend(), [&](const auto& entry) { return matches(entry.first); });
    if (found == m_general.crend())
        return {Kind::Missing, QString()};
    bool list = false;
    const QString text = unescapedValue(found->second, list);
    if (list)
        return {Kind::OtherType, QString()};
    return typed(text);
}
