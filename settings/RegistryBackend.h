#pragma once

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
