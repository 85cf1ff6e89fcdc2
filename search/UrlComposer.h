#pragma once

#include <QByteArray>
#include <QString>

// Result-page addresses are built from the bytes of the texts in the engine's character set
// (GB18030 for most catalogue rows), percent-encoded so that "&", "#", "+", "%" and blanks stay
// part of the query and the whole address is plain ASCII.
namespace UrlComposer {

inline const QString& Gb18030()
{
    static const QString name = QStringLiteral("GB18030");
    return name;
}

// GB18030 bytes of the text; characters outside GBK keep their four-byte GB18030 form.
QByteArray toGb18030(const QString& text);

// Every byte except A-Z a-z 0-9 - . _ ~ becomes "%" and two upper-case hex digits.
QByteArray percentEncode(const QByteArray& bytes);

// ASCII characters of a fixed prefix stay as they are; the others are percent-encoded in the set.
QByteArray encodePrefix(const QString& prefix, const QString& charset = Gb18030());

// "http://" + host + prefix + query.
QByteArray plainUrl(const QString& host, const QString& prefix, const QString& query,
                    const QString& charset = Gb18030());

// "http://" + host + prefix + selector text + "&key=" + query.
QByteArray typedUrl(const QString& host, const QString& prefix, const QString& selectorText, const QString& query,
                    const QString& charset = Gb18030());

// A user's engine: the address with every "%s" replaced by the query. The address's own
// non-ASCII characters are encoded in the set too, except a host's, which take their ASCII form.
QByteArray templateUrl(const QString& address, const QString& query, const QString& charset);

} // namespace UrlComposer
