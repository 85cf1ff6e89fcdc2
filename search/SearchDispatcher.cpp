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

QList<QByteArray> SearchDispatcher::UrlsOf(const SearchRow& row, const QString& query)
{
    const SearchEngine& engine = row.engine;
    switch (engine.form) {
    case UrlForm::Plain:
        return {UrlComposer::plainUrl(engine.host, engine.prefix, query, engine.charset)};
    case UrlForm::Typed:
        return {UrlComposer::typedUrl(engine.host, engine.prefix, row.selectorText, query, engine.charset)};
    case UrlForm::Address:
        return {UrlComposer::templateUrl(engine.prefix, query, engine.charset)};
    case UrlForm::Choice:
        break;
    }
    QList<QByteArray> urls;
    for (const UrlChoice& choice : engine.choices) {
        if (row.selectorText == choice.selectorText)
            urls.append(UrlComposer::plainUrl(engine.host, choice.prefix, query, engine.charset));
    }
    return urls;
}

void SearchDispatcher::runRow(const SearchRow& row, const QString& query, bool builtIn)
{
    const SearchEngine& engine = row.engine;
    const QList<QByteArray> urls = UrlsOf(row, query);
    for (const QByteArray& url : urls)
        open(url, builtIn);
    // A China Flash row tells its status only when its last choice opened.
    const bool told = engine.form != UrlForm::Choice ||
                      (engine.rule == OpeningRule::ChinaFlash
                           ? !engine.choices.isEmpty() && row.selectorText == engine.choices.last().selectorText
                           : !urls.isEmpty());
    if (told)
        m_opener.setStatusText(engine.statusText);
}

void SearchDispatcher::open(const QByteArray& url, bool builtIn)
{
    const QString address = QString::fromLatin1(url);
    if (builtIn)
        m_opener.openBuiltIn(address);
    else
        m_opener.openExternal(address);
}
