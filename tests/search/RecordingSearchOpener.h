#pragma once

#include "SearchOpener.h"
#include "SearchRequest.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

// A main window as the dispatcher meets it: builds a request from what a window would show and
// records what it is asked to do, in order: "show", "navigate <url>", "external <url>",
// "status <text>".
class RecordingSearchOpener final : public SearchOpener
{
public:
    RecordingSearchOpener();

    // Every ticked row of every page, as a window would list them; the dispatcher picks the page.
    SearchRequest request() const;

    void showBuiltInBrowser() override;
    void openBuiltIn(const QString& url) override;
    void openExternal(const QString& url) override;
    void setStatusText(const QString& text) override;

    QString modeText;
    std::optional<SearchCategory> showingPage = SearchCategory::General; // nullopt: window hidden
    QSet<QString> ticked;
    QHash<QString, QString> selectors;  // starts with the combo boxes' initial texts
    QString query;
    std::function<void(const QString& event)> onOpen; // may throw to fail an opening
    QStringList events;
};
