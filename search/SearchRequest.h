#pragma once

#include "EngineCatalogue.h"

#include <QList>
#include <QString>

#include <optional>

// One ticked row as the search uses it: the engine (its own copy, so that a row can carry an
// engine the catalogue does not hold) and the text its selector showed.
struct SearchRow
{
    SearchEngine engine;
    QString selectorText; // empty for plain rows
};

// One search, taken from the main window when the search button is pressed.
struct SearchRequest
{
    bool builtIn = false;                // results go to the built-in browser window
    std::optional<SearchCategory> page;  // the showing page; none while the main window is hidden
    QList<SearchRow> rows;               // the ticked rows, in catalogue order
    QString query;

    // The stored browser mode means the built-in window only as exactly "yes".
    static bool IsBuiltInMode(const QString& storedMode) { return storedMode == QLatin1String("yes"); }
};
