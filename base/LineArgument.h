#pragma once

#include "HexDigit.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One argument of the helpers' line protocols, carrying any QString losslessly in ASCII without
// a space, CR or LF: the characters '!' to '~' stand for themselves except '\', written "\\";
// every other UTF-16 code unit (space, controls, DEL, anything non-ASCII, each half of a
// surrogate pair) is written "\uXXXX" with four hex digits. So "%41" stays "%41".
namespace LineArgument {

constexpr bool StandsForItself(char16_t unit)
{
    return unit >= u'!' && unit <= u'~' && unit != u'\\';
}

inline QByteArray Escape(const QString& text)
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

// Nothing for a malformed argument.
inline std::optional<QString> Unescape(const QByteArray& argument)
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

} // namespace LineArgument
