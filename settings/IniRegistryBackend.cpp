#include "IniRegistryBackend.h"

#include "SettingsError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QVariant>

namespace {

class IniKey final : public RegistryKey
{
public:
    // snapshot: the parsed file, or null when there is no file yet.
    IniKey(QString filePath, std::unique_ptr<QSettings> snapshot)
        : m_filePath(std::move(filePath)), m_snapshot(std::move(snapshot))
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

} // namespace

IniRegistryBackend::IniRegistryBackend(QString folder) : m_folder(std::move(folder)) {}

QString IniRegistryBackend::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/quelm_search");
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
    // A file that does not parse is not opened, so nothing writes over what it holds.
    std::unique_ptr<QSettings> snapshot = parseSnapshot(file.readAll());
    if (!snapshot)
        return nullptr;
    return std::make_unique<IniKey>(path, std::move(snapshot));
}
