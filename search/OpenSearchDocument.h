#pragma once

#include "UserEngine.h"

#include <QByteArray>
#include <QString>

// OpenSearch description documents, as browsers offer and take them: one engine each. Nothing
// is fetched: icons and other addresses in a document are passed over.
namespace OpenSearchDocument {

struct Read
{
    std::optional<UserEngine> engine; // filled in for the form; the form checks it
    QString error;                    // why there is none, for the user
};

inline constexpr qsizetype MaxSize = 1024 * 1024;

// The engine of a document's first text/html Url that is not POST: {searchTerms} becomes "%s",
// {inputEncoding} the set's name, optional parameters are dropped. InputEncoding gives the set,
// UTF-8 when there is none.
Read parse(const QByteArray& document);
// The same from a file; the error names the file.
Read readFile(const QString& path);

// A document for the engine that parse() reads back to the same name, address and set.
QByteArray write(const UserEngine& engine);

} // namespace OpenSearchDocument
