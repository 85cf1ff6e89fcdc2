#include "SearchDispatcher.h"

#include "EngineCatalogue.h"
#include "SearchOpener.h"
#include "SearchRequest.h"
#include "UrlComposer.h"

SearchDispatcher::SearchDispatcher(SearchOpener& opener) : m_opener(opener) {}

void SearchDispatcher::run(const SearchRequest& request)
{
    if (request.builtIn)
        m_opener.showBuiltInBrowser();
    for (const SearchRow& row : request.rows) {
        if (request.page == row.engine.category)
            runRow(row, request.query, request.builtIn);
    }
    // Nothing repaints between the texts a search sets: only the last one was ever seen.
    m_opener.setStatusText(QStringLiteral("欢迎使用Quelm搜索寻踪客！"));
}

void SearchDispatcher::runRow(const SearchRow& row, const QString& query, bool builtIn)
{
    const SearchEngine& engine = row.engine;
    switch (engine.form) {
    case UrlForm::Plain:
        open(UrlComposer::plainUrl(engine.host, engine.prefix, query, engine.charset), builtIn);
        m_opener.setStatusText(engine.statusText);
        return;
    case UrlForm::Typed:
        open(UrlComposer::typedUrl(engine.host, engine.prefix, row.selectorText, query, engine.charset), builtIn);
        m_opener.setStatusText(engine.statusText);
        return;
    case UrlForm::Address:
        open(UrlComposer::templateUrl(engine.prefix, query, engine.charset), builtIn);
        m_opener.setStatusText(engine.statusText);
        return;
    case UrlForm::Choice: {
        bool matched = false;
        for (qsizetype i = 0; i < engine.choices.size(); ++i) {
            const UrlChoice& choice = engine.choices.at(i);
            if (row.selectorText != choice.selectorText)
                continue;
            open(UrlComposer::plainUrl(engine.host, choice.prefix, query, engine.charset), builtIn);
            matched = true;
            if (engine.rule == OpeningRule::ChinaFlash && i == engine.choices.size() - 1)
                m_opener.setStatusText(engine.statusText);
        }
        if (matched && engine.rule != OpeningRule::ChinaFlash)
            m_opener.setStatusText(engine.statusText);
        return;
    }
    }
}

void SearchDispatcher::open(const QByteArray& url, bool builtIn)
{
    const QString address = QString::fromLatin1(url);
    if (builtIn)
        m_opener.openBuiltIn(address);
    else
        m_opener.openExternal(address);
}
