#pragma once

#include "SearchHost.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>
#include <optional>

// Plays the main window for the dispatcher and records what it is asked to do, in order:
// "show", "navigate <url>", "external <url>", "status <text>".
class RecordingSearchHost final : public SearchHost
{
public:
    RecordingSearchHost();

    QString browserModeText() override;
    void showBuiltInBrowser() override;
    bool isPageShowing(SearchCategory category) override;
    bool isRowTicked(const QString& checkBoxName) override;
    QList<SearchEngine> tickedUserEngines(SearchCategory category) override;
    QString selectorText(const QString& comboBoxName) override;
    QString queryText() override;
    void navigateBuiltInBrowser(const QString& url) override;
    void startExternalBrowser(const QString& url) override;
    void setStatusText(const QString& text) override;

    QString modeText;
    std::function<void()> onModeRead;   // may throw
    std::optional<SearchCategory> showingPage = SearchCategory::General; // nullopt: window hidden
    QSet<QString> ticked;
    QList<SearchEngine> userEngines; // all ticked
    QHash<QString, QString> selectors;  // starts with the combo boxes' initial texts
    QString query;
    std::function<QString()> nextQuery; // when set, answers every query read instead of `query`
    std::function<void(const QString& event)> onOpen; // may throw to fail an opening
    QStringList events;
};
