#pragma once

#include <QString>

// One opened key of the settings store; lives for a single access.
class RegistryKey
{
public:
    virtual ~RegistryKey() = default;
    // A missing value reads as empty; data that is not a plain string throws QuelmError.
    virtual QString readString(const QString& valueName) = 0;
    // Throws QuelmError("Failed to set data for '<name>'") when the data cannot be stored.
    virtual void writeString(const QString& valueName, const QString& data) = 0;
};
