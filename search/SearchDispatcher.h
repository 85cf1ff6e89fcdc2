#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class SearchOpener;
struct SearchEngine;
struct SearchRequest;
struct SearchRow;

// Runs one search: opens the ticked rows of the showing page in order and tells the status
// text as it goes. Knows no window; keeps nothing between searches.
class SearchDispatcher final
{
public:
    explicit SearchDispatcher(SearchOpener& opener);
    Q_DISABLE_COPY_MOVE(SearchDispatcher)

    // Errors from the opener (browser) propagate and end the search where they occur.
    void run(const SearchRequest& request);

    // The row's result pages for the query, in the order a search opens them: one, or for a
    // choice row every choice its selector text names.
    static QList<QByteArray> UrlsOf(const SearchRow& row, const QString& query);

private:
    void runRow(const SearchRow& row, const QString& query, bool builtIn);
    void open(const QByteArray& url, bool builtIn);

    SearchOpener& m_opener;
};
