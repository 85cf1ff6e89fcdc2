#include "IniRegistryBackend.h"

#include "ConfigHome.h"
#include "SettingsError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QVariant>

namespace {

std::unique_ptr<QSettings> parseSnapshot(const QByteArray& contents);

// QSettings writes a few odd files (escapes and control characters in section names, escapes
// that stand for half a surrogate pair) back in a form that it cannot read itself or that
// reads differently. The write is tried on a copy first: it must read back with the new value
// and every other entry as it was.
bool writesBackCleanly(const QByteArray& contents, const QSettings* before, const QString& valueName,
                       const QString& data)
{
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/quelm_search-XXXXXX.ini"));
    if (!copy.open() || copy.write(contents) != contents.size() || !copy.flush())
        return false;
    {
        QSettings trial(copy.fileName(), QSettings::IniFormat);
        trial.setValue(valueName, data);
        trial.sync();
        if (trial.status() != QSettings::NoError)
            return false;
    }
    QFile written(copy.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const std::unique_ptr<QSettings> reread = parseSnapshot(written.readAll());
    if (!reread || reread->value(valueName) != QVariant(data))
        return false;
    if (before) {
        for (const QString& key : before->allKeys()) {
            const QVariant value = before->value(key);
            if (key != valueName && value.isValid() && reread->value(key) != value)
                return false;
        }
    }
    return true;
}

class IniKey final : public RegistryKey
{
public:
    // snapshot: the parsed file, or null when there is no file yet; contents: its bytes.
    IniKey(QString filePath, std::unique_ptr<QSettings> snapshot, QByteArray contents = {})
        : m_filePath(std::move(filePath)), m_snapshot(std::move(snapshot)), m_contents(std::move(contents))
    {
    }
    Q_DISABLE_COPY_MOVE(IniKey)

    QString readString(const QString& valueName) override
    {
        if (!m_snapshot || !m_snapshot->contains(valueName))
            return QString();
        const QVariant value = m_snapshot->value(valueName);
        // Lists, @ByteArray and @Variant entries come back as other types.
        if (value.typeId() != QMetaType::QString)
            throw SettingsError::invalidDataType(valueName);
        return value.toString();
    }

    void writeString(const QString& valueName, const QString& data) override
    {
        if (!writesBackCleanly(m_contents, m_snapshot.get(), valueName, data))
            throw SettingsError::failedToSetData(valueName);
        // QSettings replaces the file atomically and keeps the entries it does not know.
        QSettings settings(m_filePath, QSettings::IniFormat);
        settings.setValue(valueName, data);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            throw SettingsError::failedToSetData(valueName);
    }

private:
    QString m_filePath;
    std::unique_ptr<QSettings> m_snapshot;
    QByteArray m_contents;
};

// Parses a copy of the file under a name of its own. QSettings keeps every file it has read in
// a process-wide cache and reports a parse error only the first time; a later write would
// then rewrite a broken file from the part it understood.
std::unique_ptr<QSettings> parseSnapshot(const QByteArray& contents)
{
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/quelm_search-XXXXXX.ini"));
    if (!copy.open() || copy.write(contents) != contents.size() || !copy.flush())
        return nullptr;
    auto settings = std::make_unique<QSettings>(copy.fileName(), QSettings::IniFormat);
    settings->allKeys(); // parses every section now, while the copy exists
    if (settings->status() != QSettings::NoError)
        return nullptr;
    return settings;
}

constexpr qint64 MaxFileSize = 1024 * 1024;

// UTF-8 without NUL bytes, as QSettings writes it.
bool isText(const QByteArray& contents)
{
    if (contents.contains('\0'))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(contents);
    return !decoder.hasError();
}

} // namespace

IniRegistryBackend::IniRegistryBackend(QString folder) : m_folder(std::move(folder)) {}

QString IniRegistryBackend::defaultFolder()
{
    return ConfigHome() + QStringLiteral("/quelm_search");
}

QString IniRegistryBackend::filePath() const
{
    return m_folder + QStringLiteral("/quelm_search.ini");
}

std::unique_ptr<RegistryKey> IniRegistryBackend::openKey()
{
    if (!QDir().mkpath(m_folder))
        return nullptr;
    const QString path = filePath();
    const QFileInfo info(path);
    if (!info.exists())
        return std::make_unique<IniKey>(path, nullptr);
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    // A file that does not parse is not opened, so nothing writes over what it holds. Nor is
    // one that is not text: QSettings would read its bytes as something else and write that.
    // Two short values live here; a file of a megabyte or more is not one this program wrote, and
    // reading it at every search would stall each one.
    if (info.size() >= MaxFileSize)
        return nullptr;
    const QByteArray contents = file.read(MaxFileSize);
    if (contents.size() >= MaxFileSize || !isText(contents))
        return nullptr;
    std::unique_ptr<QSettings> snapshot = parseSnapshot(contents);
    if (!snapshot)
        return nullptr;
    return std::make_unique<IniKey>(path, std::move(snapshot), contents);
}
