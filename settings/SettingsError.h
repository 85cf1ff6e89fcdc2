#pragma once

#include <QString>

#include <stdexcept>

// A stored setting that cannot be read or written; what() is UTF-8 text for the error box.
class SettingsError final : public std::runtime_error
{
public:
    explicit SettingsError(const QString& message) : std::runtime_error(message.toStdString()) {}

    static SettingsError invalidDataType(const QString& valueName)
    {
        return SettingsError(QStringLiteral("Invalid data type for '%1'").arg(valueName));
    }
    static SettingsError failedToSetData(const QString& valueName)
    {
        return SettingsError(QStringLiteral("Failed to set data for '%1'").arg(valueName));
    }
};
