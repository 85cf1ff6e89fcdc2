// Any content in quelm_search.ini. The store opens and reads it as QSettings does (a file
// QSettings reports broken is not opened; the browser mode reads as QSettings gives it, or fails
// with "Invalid data type" where QSettings gives no string). A file the store does not open is
// never written to; saving the browser mode either keeps every other entry a reader could see,
// with its value, and can be read again, or is refused with the store's message and leaves the
// file alone.

#include "FuzzSupport.h"

#include "IniRegistryBackend.h"
#include "QuelmError.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QVariantMap>

#include <optional>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// QSettings may write a list of strings back as a list of variants holding those strings:
// the same entry to every reader.
QVariant normalised(const QVariant& value)
{
    if (value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList) {
        const QVariantList items = value.toList();
        QStringList strings;
        for (const QVariant& item : items) {
            if (item.typeId() != QMetaType::QString)
                return value;
            strings.append(item.toString());
        }
        return strings;
    }
    return value;
}

// Every entry of a copy of the file, under a name QSettings has never seen (it caches by name).
QVariantMap entriesOf(const QString& path, const QString& copyPath)
{
    FUZZ_CHECK(QFile::copy(path, copyPath));
    QVariantMap entries;
    {
        QSettings settings(copyPath, QSettings::IniFormat);
        // A key QSettings lists but cannot give a value for (an empty name, an empty section)
        // holds nothing a reader could lose.
        for (const QString& key : settings.allKeys()) {
            const QVariant value = settings.value(key);
            if (value.isValid())
                entries.insert(key, normalised(value));
        }
    }
    QFile::remove(copyPath);
    return entries;
}

// What QSettings makes of the file, read under a name it has never seen: whether it parses, and
// the browser mode's value if there is one.
struct QSettingsView
{
    bool parses;
    std::optional<QVariant> value;
};

QSettingsView viewOf(const QString& path, const QString& copyPath, const QString& valueName)
{
    FUZZ_CHECK(QFile::copy(path, copyPath));
    QSettingsView view{false, std::nullopt};
    {
        QSettings settings(copyPath, QSettings::IniFormat);
        settings.allKeys();
        view.parses = settings.status() == QSettings::NoError;
        if (settings.contains(valueName))
            view.value = settings.value(valueName);
    }
    QFile::remove(copyPath);
    return view;
}

// The files the store reads at all: UTF-8 text without NUL bytes.
bool isText(const QByteArray& contents)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(contents);
    return !decoder.hasError() && !contents.contains('\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir root;
    static int run = 0;
    FUZZ_CHECK(root.isValid());
    const QString folder = root.filePath(QString::number(++run));
    IniRegistryBackend backend(folder);
    FUZZ_CHECK(QDir().mkpath(folder));
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(backend.filePath());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
    }

    const QString valueName = QStringLiteral("quelm_ie");
    const QString copy = root.filePath(QStringLiteral("copy-%1.ini").arg(run));
    const QSettingsView expected = viewOf(backend.filePath(), copy, valueName);
    std::unique_ptr<RegistryKey> key = backend.openKey();
    if (isText(contents))
        FUZZ_CHECK(bool(key) == expected.parses);
    if (key) {
        try {
            const QString text = key->readString(valueName);
            FUZZ_CHECK(!expected.value || expected.value->typeId() == QMetaType::QString);
            FUZZ_CHECK(text == (expected.value ? expected.value->toString() : QString()));
        } catch (const QuelmError& error) {
            FUZZ_CHECK(QString::fromUtf8(error.what()) == QStringLiteral("Invalid data type for 'quelm_ie'"));
            FUZZ_CHECK(expected.value && expected.value->typeId() != QMetaType::QString);
        }
        QVariantMap before = entriesOf(backend.filePath(), copy + QStringLiteral("a"));
        try {
            key->writeString(valueName, QStringLiteral("yes"));
        } catch (const QuelmError& error) {
            // Refused because QSettings could not write this file back readably: untouched.
            FUZZ_CHECK(QString::fromUtf8(error.what()) == QStringLiteral("Failed to set data for 'quelm_ie'"));
            FUZZ_CHECK(readAll(backend.filePath()) == contents);
            QDir(folder).removeRecursively();
            return 0;
        }
        QVariantMap after = entriesOf(backend.filePath(), copy + QStringLiteral("b"));
        FUZZ_CHECK(after.value(valueName) == QVariant(QStringLiteral("yes")));
        before.remove(valueName);
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            FUZZ_CHECK(after.contains(it.key()) && after.value(it.key()) == it.value());
        const std::unique_ptr<RegistryKey> again = backend.openKey();
        FUZZ_CHECK(again && again->readString(valueName) == QStringLiteral("yes"));
    } else {
        // Not opened: a save is refused and the file stays exactly as it was.
        SettingsStore store(backend, backend);
        bool refused = false;
        try {
            store.writeBrowserMode(true);
        } catch (const QuelmError& error) {
            refused = QString::fromUtf8(error.what()) == QStringLiteral("Failed to set data for 'quelm_ie'");
        }
        FUZZ_CHECK(refused);
        FUZZ_CHECK(readAll(backend.filePath()) == contents);
    }
    QDir(folder).removeRecursively();
    return 0;
}
