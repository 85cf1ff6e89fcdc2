#pragma once

#include <QString>

// Opens an address in the desktop's web browser without waiting for it.
class ExternalBrowser
{
public:
    virtual ~ExternalBrowser() = default;
    // Throws QuelmError when the browser cannot be started.
    virtual void open(const QString& url) = 0;
};
