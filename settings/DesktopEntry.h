#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>

// Reading and writing freedesktop.org desktop entries, as far as an autostart entry needs:
// string escapes, the quoting rules of Exec, and the keys of the [Desktop Entry] group.
namespace DesktopEntry {

// Escapes a string value: backslash, newline, tab, carriage return, and leading blanks as \s.
QString escapeValue(const QString& text);
// The inverse; nullopt for an unknown escape or a trailing lone backslash.
std::optional<QString> unescapeValue(const QString& raw);

// One Exec argument in double quotes, with " ` $ \ escaped and % doubled.
QString quoteExecArgument(const QString& argument);
// The text after "Exec=" for these arguments; nullopt when one holds a character that a desktop
// entry cannot carry (control characters other than tab, newline and carriage return, and
// unpaired surrogate halves, which have no UTF-8 form).
std::optional<QString> execValue(const QStringList& arguments);
// Parses the text after "Exec=" back into arguments, dropping field codes such as %f;
// nullopt when it breaks the quoting rules.
std::optional<QStringList> splitExecValue(const QString& raw);

// The keys of the [Desktop Entry] group with their raw (still escaped) values; nullopt when the
// file is not valid UTF-8, does not start with that group, or holds a line that is not a
// comment, a group header or a key=value pair.
std::optional<QMap<QString, QString>> readMainGroup(const QByteArray& contents);

// Sets the keys (raw values) in the [Desktop Entry] group, keeping every other line; the group
// is put first when the file has none.
QByteArray withMainGroupKeys(const QByteArray& contents, const QList<QPair<QString, QString>>& keys);

// "true"/"1" and "false"/"0"; nullopt for anything else.
std::optional<bool> parseBoolean(const QString& raw);

} // namespace DesktopEntry
