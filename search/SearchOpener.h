#pragma once

#include <QString>

// Where a search's results go; the main window implements it, tests record it.
class SearchOpener
{
public:
    virtual ~SearchOpener() = default;

    virtual void showBuiltInBrowser() = 0; // may throw
    // Both return at once; a failure is thrown and ends the search at that row.
    virtual void openBuiltIn(const QString& url) = 0;
    virtual void openExternal(const QString& url) = 0;
    virtual void setStatusText(const QString& text) = 0;
};
