#pragma once

#include "RegistryBackend.h"

#include <QString>

// The start-at-log-on value as the XDG autostart entry com.quelm.Search.desktop: its data is
// the program path of an enabled entry, and the empty text when the entry is missing, broken,
// hidden or disabled. Writing the empty text keeps the entry but disables it.
class AutostartRegistryBackend final : public RegistryBackend
{
public:
    explicit AutostartRegistryBackend(QString folder = defaultFolder());
    Q_DISABLE_COPY_MOVE(AutostartRegistryBackend)

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
    static QString defaultFolder();
    QString filePath() const;

    std::unique_ptr<RegistryKey> openKey() override;

private:
    QString m_folder;
};
