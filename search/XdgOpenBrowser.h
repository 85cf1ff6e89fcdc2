#pragma once

#include "QuelmError.h"
#include "ExternalBrowser.h"

// Hands the address to xdg-open, found on PATH, as its one argument; no shell is involved, and
// nothing waits for the browser (its end is collected in the background).
class XdgOpenBrowser final : public ExternalBrowser
{
public:
    XdgOpenBrowser() = default;
    Q_DISABLE_COPY_MOVE(XdgOpenBrowser)

    void open(const QString& url) override;
};
