#pragma once

#include "EngineCatalogue.h"

#include <QString>

// Everything a search reaches outside itself; the main window implements it, tests record it.
class SearchHost
{
public:
    virtual ~SearchHost() = default;

    virtual QString browserModeText() = 0; // may throw (settings error)
    virtual void showBuiltInBrowser() = 0; // may throw
    // True only for the active page of a visible main window.
    virtual bool isPageShowing(SearchCategory category) = 0;
    virtual bool isRowTicked(const QString& checkBoxName) = 0;
    // The user's ticked engines of the page, in search order; they come after the catalogue's.
    virtual QList<SearchEngine> tickedUserEngines(SearchCategory) { return {}; }
    virtual QString selectorText(const QString& comboBoxName) = 0;
    virtual QString queryText() = 0;
    // Both return at once; a failure is thrown and ends the search at that row.
    virtual void navigateBuiltInBrowser(const QString& url) = 0;
    virtual void startExternalBrowser(const QString& url) = 0;
    virtual void setStatusText(const QString& text) = 0;
};
