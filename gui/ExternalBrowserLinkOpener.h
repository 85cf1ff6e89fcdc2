#pragma once

#include "ExternalBrowser.h"
#include "Guarded.h"
#include "controls/LinkOpener.h"

// Lets the skinned hyperlink labels open their targets with the same external
// browser that the searches use.
class ExternalBrowserLinkOpener final : public LinkOpener
{
public:
    explicit ExternalBrowserLinkOpener(ExternalBrowser& browser) : m_browser(browser) {}

    // A link label's click starts here.
    void Open(const QString& target) override
    {
        Guarded([this, &target] { m_browser.open(target); })();
    }

private:
    ExternalBrowser& m_browser;
};
