#pragma once

#include <QString>

// The built-in browser window as the rest of the main program sees it: the
// search in built-in mode and the menu item "Quelm浏览器" use these two calls.
// Both return at once without waiting for a page; both may throw
// QuelmError.
class BuiltInBrowser
{
public:
    virtual ~BuiltInBrowser() = default;

    // Makes the window visible and brings it to the front.
    virtual void Show() = 0;
    // Starts loading the URL in the window's browser.
    virtual void Navigate(const QString& url) = 0;
};
