#pragma once

#include "RegistryBackend.h"

#include <QByteArray>
#include <QString>

// The settings key as an INI file, quelm_search.ini, whose General section holds the values.
class IniRegistryBackend final : public RegistryBackend
{
public:
    explicit IniRegistryBackend(QString folder = defaultFolder());
    Q_DISABLE_COPY_MOVE(IniRegistryBackend)

    // $XDG_CONFIG_HOME/quelm_search, or ~/.config/quelm_search.
    static QString defaultFolder();
    QString filePath() const;

    // Null also for a file that does not parse, is not UTF-8 text or holds a mebibyte or more:
    // writing through it would drop or change what it holds.
    // Reads see the file as it is at this moment.
    std::unique_ptr<RegistryKey> openKey() override;

private:
    QString m_folder;
    QString m_filePath;
    QByteArray m_encodedPath;   // as the system calls take it
};
