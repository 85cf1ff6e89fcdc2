#include "RecordingSearchOpener.h"

RecordingSearchOpener::RecordingSearchOpener()
{
    for (const SelectorBox& box : EngineCatalogue::selectors())
        selectors.insert(box.name, box.initialText);
}

SearchRequest RecordingSearchOpener::request() const
{
    SearchRequest request;
    request.builtIn = SearchRequest::IsBuiltInMode(modeText);
    request.page = showingPage;
    for (const SearchEngine& engine : EngineCatalogue::engines()) {
        if (ticked.contains(engine.checkBox))
            request.rows.append({engine, selectors.value(engine.selector)});
    }
    request.query = query;
    return request;
}

void RecordingSearchOpener::showBuiltInBrowser()
{
    events.append(QStringLiteral("show"));
}

void RecordingSearchOpener::openBuiltIn(const QString& url)
{
    events.append(QStringLiteral("navigate ") + url);
    if (onOpen)
        onOpen(events.last());
}

void RecordingSearchOpener::openExternal(const QString& url)
{
    events.append(QStringLiteral("external ") + url);
    if (onOpen)
        onOpen(events.last());
}

void RecordingSearchOpener::setStatusText(const QString& text)
{
    events.append(QStringLiteral("status ") + text);
}
