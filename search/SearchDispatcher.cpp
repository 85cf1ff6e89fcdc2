#include "SearchDispatcher.h"

#include "EngineCatalogue.h"
#include "SearchHost.h"
#include "UrlComposer.h"

SearchDispatcher::SearchDispatcher(SearchHost& host) : m_host(host) {}

void SearchDispatcher::run()
{
    const bool builtIn = m_host.browserModeText() == QLatin1String("yes");
    if (builtIn)
        m_host.showBuiltInBrowser();

    for (const CategoryPage& page : EngineCatalogue::categories()) {
        if (!m_host.isPageShowing(page.category))
            continue;
        for (const SearchEngine& engine : EngineCatalogue::engines()) {
            if (engine.category == page.category && m_host.isRowTicked(engine.checkBox))
                runRow(engine, builtIn);
        }
        for (const SearchEngine& engine : m_host.tickedUserEngines(page.category))
            runRow(engine, builtIn);
    }

    m_host.setStatusText(QStringLiteral("正在打开搜索结果页面！请稍候..."));
    m_host.setStatusText(QStringLiteral("欢迎使用Quelm搜索寻踪客！"));
}

void SearchDispatcher::runRow(const SearchEngine& engine, bool builtIn)
{
    switch (engine.form) {
    case UrlForm::Plain:
        open(UrlComposer::plainUrl(engine.host, engine.prefix, m_host.queryText(), engine.charset), builtIn);
        m_host.setStatusText(engine.statusText);
        return;
    case UrlForm::Typed: {
        const QString query = m_host.queryText();
        open(UrlComposer::typedUrl(engine.host, engine.prefix, m_host.selectorText(engine.selector), query,
                                  engine.charset),
             builtIn);
        m_host.setStatusText(engine.statusText);
        return;
    }
    case UrlForm::Address:
        open(UrlComposer::templateUrl(engine.prefix, m_host.queryText(), engine.charset), builtIn);
        m_host.setStatusText(engine.statusText);
        return;
    case UrlForm::Choice: {
        bool matched = false;
        for (qsizetype i = 0; i < engine.choices.size(); ++i) {
            // The selector is read again for every choice, as the user sees it at that moment.
            const UrlChoice& choice = engine.choices.at(i);
            if (m_host.selectorText(engine.selector) != choice.selectorText)
                continue;
            open(UrlComposer::plainUrl(engine.host, choice.prefix, m_host.queryText(), engine.charset), builtIn);
            matched = true;
            if (engine.rule == OpeningRule::ChinaFlash && i == engine.choices.size() - 1)
                m_host.setStatusText(engine.statusText);
        }
        if (matched && engine.rule != OpeningRule::ChinaFlash)
            m_host.setStatusText(engine.statusText);
        return;
    }
    }
}

void SearchDispatcher::open(const QByteArray& url, bool builtIn)
{
    const QString address = QString::fromLatin1(url);
    if (builtIn)
        m_host.navigateBuiltInBrowser(address);
    else
        m_host.startExternalBrowser(address);
}
