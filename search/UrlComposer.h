#pragma once

#include <QByteArray>
#include <QString>

// Result-page addresses are built from the GB18030 bytes of the texts (the same bytes as GBK for
// every GBK character), percent-encoded so that "&", "#", "+", "%" and blanks stay part of the
// query and the whole address is plain ASCII.
namespace UrlComposer {

// GB18030 bytes of the text; characters outside GBK keep their four-byte GB18030 form.
QByteArray toGb18030(const QString& text);

// Every byte except A-Z a-z 0-9 - . _ ~ becomes "%" and two upper-case hex digits.
QByteArray percentEncode(const QByteArray& bytes);

// ASCII characters of a fixed prefix stay as they are; the others are percent-encoded GB18030.
QByteArray encodePrefix(const QString& prefix);

// "http://" + host + prefix + query.
QByteArray plainUrl(const QString& host, const QString& prefix, const QString& query);

// "http://" + host + prefix + selector text + "&key=" + query.
QByteArray typedUrl(const QString& host, const QString& prefix, const QString& selectorText, const QString& query);

} // namespace UrlComposer
