#pragma once

#include "QuelmError.h"
#include "RegistryKey.h"

#include <memory>

// Where one key of the settings lives. Every access opens the key afresh; nothing is cached.
class RegistryBackend
{
public:
    virtual ~RegistryBackend() = default;
    // Opens the key, creating it when missing; null when it cannot be opened or created.
    virtual std::unique_ptr<RegistryKey> openKey() = 0;
};

// The two messages a stored value's failure is told with.
namespace SettingsFailure {
inline QuelmError invalidDataType(const QString& valueName)
{
    return QuelmError(QStringLiteral("Invalid data type for '%1'").arg(valueName));
}
inline QuelmError failedToSetData(const QString& valueName)
{
    return QuelmError(QStringLiteral("Failed to set data for '%1'").arg(valueName));
}
} // namespace SettingsFailure
