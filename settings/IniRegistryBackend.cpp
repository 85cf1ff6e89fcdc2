#include "IniRegistryBackend.h"

#include "SettingsError.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

namespace {

class IniKey final : public RegistryKey
{
public:
    explicit IniKey(std::unique_ptr<QSettings> settings) : m_settings(std::move(settings)) {}
    Q_DISABLE_COPY_MOVE(IniKey)

    QString readString(const QString& valueName) override
    {
        if (!m_settings->contains(valueName))
            return QString();
        const QVariant value = m_settings->value(valueName);
        // Lists, @ByteArray and @Variant entries come back as other types.
        if (value.typeId() != QMetaType::QString)
            throw SettingsError::invalidDataType(valueName);
        return value.toString();
    }

    void writeString(const QString& valueName, const QString& data) override
    {
        m_settings->setValue(valueName, data);
        m_settings->sync();
        if (m_settings->status() != QSettings::NoError)
            throw SettingsError::failedToSetData(valueName);
    }

private:
    std::unique_ptr<QSettings> m_settings;
};

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
    // An explicit path: QSettings would otherwise keep the folder it derived from the environment.
    auto settings = std::make_unique<QSettings>(filePath(), QSettings::IniFormat);
    // QSettings would rewrite a file it could only partly parse from what it understood.
    if (settings->status() != QSettings::NoError)
        return nullptr;
    return std::make_unique<IniKey>(std::move(settings));
}
