#pragma once

#include <QByteArray>

class SearchHost;
struct SearchEngine;

// Runs one search over the ticked rows of the showing page. Keeps nothing between searches:
// the browser mode, ticks, selector texts and query are read from the host as they are needed.
class SearchDispatcher final
{
public:
    explicit SearchDispatcher(SearchHost& host);
    Q_DISABLE_COPY_MOVE(SearchDispatcher)

    // Errors from the host (settings, browser) propagate and end the search where they occur.
    void run();

private:
    void runRow(const SearchEngine& engine, bool builtIn);
    void open(const QByteArray& url, bool builtIn);

    SearchHost& m_host;
};
