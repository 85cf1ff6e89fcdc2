#pragma once

#include <QString>

#include <memory>

class RegistryBackend;

// The two persistent settings: the browser mode ("quelm_ie" in the settings key) and starting
// at log-on ("quelm_s" in the run key). Every call opens its key afresh; nothing is cached.
class SettingsStore final
{
public:
    SettingsStore(); // the XDG locations: quelm_search.ini and the autostart entry
    SettingsStore(RegistryBackend& settingsKey, RegistryBackend& runKey);
    ~SettingsStore();
    Q_DISABLE_COPY_MOVE(SettingsStore)

    // keyOpened false: the key could not be opened, text is empty.
    struct ReadResult
    {
        bool keyOpened;
        QString text;
    };

    // "yes" is the built-in browser to a search; the settings dialog takes any non-empty text.
    ReadResult readBrowserModeText();      // throws QuelmError("Invalid data type for 'quelm_ie'")
    void writeBrowserMode(bool builtIn);   // throws QuelmError("Failed to set data for 'quelm_ie'")
    ReadResult readStartWithSystem();      // text = program path or empty
    void writeStartWithSystem(bool on, const QString& programPath); // throws "Failed to set data for 'quelm_s'"

private:
    static ReadResult read(RegistryBackend& backend, const QString& valueName);
    static void write(RegistryBackend& backend, const QString& valueName, const QString& data);

    std::unique_ptr<RegistryBackend> m_ownedSettingsKey;
    std::unique_ptr<RegistryBackend> m_ownedRunKey;
    RegistryBackend& m_settingsKey;
    RegistryBackend& m_runKey;
};
