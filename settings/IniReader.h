#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <utility>

// Reads the text of an INI file as QSettings (Qt 6) reads its IniFormat, as far as a reader of
// the General section needs: whether QSettings would report a format error, and what value it
// would give for a key of that section. QSettings itself keeps every file it has read in a
// process-wide cache and reports a format error only the first time; this reader sees each text
// afresh and never touches a file.
class IniReader final
{
public:
    // The text must outlive the reader.
    explicit IniReader(QByteArrayView text);

    // False where QSettings reports a FormatError: a section header without "]", or a line
    // without "=" that is not a ";" comment, in any section.
    bool isValid() const { return m_valid; }

    enum class Kind { Missing, String, OtherType };
    struct Value
    {
        Kind kind;
        QString text;   // for String
    };
    // A key of the General section: Missing, a plain string, or anything else QSettings would
    // read (a list, @ByteArray, @Invalid(), a @Variant that is not a string, …).
    Value generalValue(const QString& key) const;

private:
    void readSection(QByteArrayView piece, bool general);

    bool m_valid = true;
    QList<std::pair<QByteArrayView, QByteArrayView>> m_general;   // key and value as written; a later line wins
};
