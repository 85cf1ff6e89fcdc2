#include "SettingsStore.h"

#include "AutostartRegistryBackend.h"
#include "IniRegistryBackend.h"
#include "QuelmError.h"

namespace {

const QString BrowserModeValue = QStringLiteral("quelm_ie");
const QString StartWithSystemValue = QStringLiteral("quelm_s");

} // namespace

SettingsStore::SettingsStore()
    : m_ownedSettingsKey(std::make_unique<IniRegistryBackend>()),
      m_ownedRunKey(std::make_unique<AutostartRegistryBackend>()),
      m_settingsKey(*m_ownedSettingsKey),
      m_runKey(*m_ownedRunKey)
{
}

SettingsStore::SettingsStore(RegistryBackend& settingsKey, RegistryBackend& runKey)
    : m_settingsKey(settingsKey), m_runKey(runKey)
{
}

SettingsStore::~SettingsStore() = default;

SettingsStore::ReadResult SettingsStore::readBrowserModeText()
{
    return read(m_settingsKey, BrowserModeValue);
}

void SettingsStore::writeBrowserMode(bool builtIn)
{
    write(m_settingsKey, BrowserModeValue, builtIn ? QStringLiteral("yes") : QString());
}

SettingsStore::ReadResult SettingsStore::readStartWithSystem()
{
    return read(m_runKey, StartWithSystemValue);
}

void SettingsStore::writeStartWithSystem(bool on, const QString& programPath)
{
    write(m_runKey, StartWithSystemValue, on ? programPath : QString());
}

SettingsStore::ReadResult SettingsStore::read(RegistryBackend& backend, const QString& valueName)
{
    const std::unique_ptr<RegistryKey> key = backend.openKey();
    if (!key)
        return {false, QString()};
    return {true, key->readString(valueName)};
}

void SettingsStore::write(RegistryBackend& backend, const QString& valueName, const QString& data)
{
    // A write that cannot be made is reported: the user must not believe it was saved.
    const std::unique_ptr<RegistryKey> key = backend.openKey();
    if (!key)
        throw SettingsFailure::failedToSetData(valueName);
    key->writeString(valueName, data);
}
