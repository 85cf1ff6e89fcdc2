#pragma once

#include <QByteArray>
#include <QString>

// Character sets by their iconv names (glibc's iconv knows far more than Qt without ICU does).
// Only sets that write ASCII as ASCII are taken: an address stays plain ASCII after
// percent-encoding, and a query of ASCII needs no conversion.
namespace Charset {

// Whether iconv knows the name and the set keeps ASCII as it is. "UTF-8//IGNORE" and the like
// are refused: a name is letters, digits and "-_.:" only.
bool isKnown(const QString& name);

// The text's bytes in the set; "?" for a character the set cannot hold. A set that is not known
// (a system without that iconv module) throws QuelmError.
QByteArray encode(const QString& text, const QString& name);

} // namespace Charset
