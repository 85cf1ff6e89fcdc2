#include "RecordingSearchHost.h"

RecordingSearchHost::RecordingSearchHost()
{
    for (const SelectorBox& box : EngineCatalogue::selectors())
        selectors.insert(box.name, box.initialText);
}

QString RecordingSearchHost::browserModeText()
{
    if (onModeRead)
        onModeRead();
    return modeText;
}

void RecordingSearchHost::showBuiltInBrowser()
{
    events.append(QStringLiteral("show"));
}

bool RecordingSearchHost::isPageShowing(SearchCategory category)
{
    return showingPage == category;
}

bool RecordingSearchHost::isRowTicked(const QString& checkBoxName)
{
    return ticked.contains(checkBoxName);
}

QString RecordingSearchHost::selectorText(const QString& comboBoxName)
{
    return selectors.value(comboBoxName);
}

QString RecordingSearchHost::queryText()
{
    return nextQuery ? nextQuery() : query;
}

void RecordingSearchHost::navigateBuiltInBrowser(const QString& url)
{
    events.append(QStringLiteral("navigate ") + url);
    if (onOpen)
        onOpen(events.last());
}

void RecordingSearchHost::startExternalBrowser(const QString& url)
{
    events.append(QStringLiteral("external ") + url);
    if (onOpen)
        onOpen(events.last());
}

void RecordingSearchHost::setStatusText(const QString& text)
{
    events.append(QStringLiteral("status ") + text);
}

QList<SearchEngine> RecordingSearchHost::tickedUserEngines(SearchCategory category)
{
    QList<SearchEngine> rows;
    for (const SearchEngine& engine : std::as_const(userEngines)) {
        if (engine.category == category)
            rows.append(engine);
    }
    return rows;
}
