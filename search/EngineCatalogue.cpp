#include "EngineCatalogue.h"

#include <algorithm>

namespace {

SearchEngine plain(SearchCategory category, const char* checkBox, const char* caption, bool checkedAtStart,
                   const char* host, const char* prefix, const char* statusText, ControlPlacement placement)
{
    return SearchEngine{category,
                        QString::fromUtf8(checkBox),
                        QString::fromUtf8(caption),
                        checkedAtStart,
                        QString::fromUtf8(host),
                        UrlForm::Plain,
                        QString::fromUtf8(prefix),
                        QString(),
                        {},
                        QString::fromUtf8(statusText),
                        OpeningRule::Standard,
                        placement,
                        QStringLiteral("GB18030")};
}

SearchEngine typed(SearchCategory category, const char* checkBox, const char* caption, bool checkedAtStart,
                   const char* host, const char* selector, const char* prefix, const char* statusText,
                   ControlPlacement placement)
{
    SearchEngine engine = plain(category, checkBox, caption, checkedAtStart, host, prefix, statusText, placement);
    engine.form = UrlForm::Typed;
    engine.selector = QString::fromUtf8(selector);
    return engine;
}

SearchEngine choice(SearchCategory category, const char* checkBox, const char* caption, const char* host,
                    const char* selector, QList<UrlChoice> choices, const char* statusText, OpeningRule rule,
                    ControlPlacement placement)
{
    SearchEngine engine = plain(category, checkBox, caption, false, host, "", statusText, placement);
    engine.form = UrlForm::Choice;
    engine.selector = QString::fromUtf8(selector);
    engine.choices = std::move(choices);
    engine.rule = rule;
    return engine;
}

// Google reads its query as UTF-8 only; the other hosts of the time took GBK bytes.
SearchEngine utf8(SearchEngine engine)
{
    engine.charset = QStringLiteral("UTF-8");
    return engine;
}

UrlChoice option(const char* selectorText, const char* prefix)
{
    return UrlChoice{QString::fromUtf8(selectorText), QString::fromUtf8(prefix)};
}

QList<SearchEngine> buildEngines()
{
    using C = SearchCategory;
    const char* const chinamp3 = "www.chinamp3.com"; // rows schinamp3 and schinageci share it
    const char* const netEaseStatus = "正在连接163.com...";
    return {
        utf8(plain(C::General, "sgoogle", "Google搜索", true, "www.google.com", "/search?q=", "正在连接google...",
                   {8, 6, 89, 1})),
        plain(C::General, "sbaidu1", "百度搜索", false, "www.baidu.com", "/baidu?word=", "正在连接baidu...",
              {135, 6, 89, 4}),
        plain(C::General, "syahoo", "中文雅虎", false, "search.cn.yahoo.com", "/search/cn?p=", "正在连接yahoo...",
              {8, 43, 81, 5}),
        plain(C::General, "ssina", "新浪搜索", false, "search.sina.com.cn", "/cgi-bin/search/search.cgi?_searchkey=",
              "正在连接sina...", {135, 45, 89, 0}),
        plain(C::General, "ssohu", "搜狐搜索", false, "search.sohu.com", "/website.jsp?key_word=", "正在连接sohu...",
              {9, 83, 81, 2}),
        plain(C::General, "s163", "网易搜索", false, "search.163.com", "/google/Search?q=", netEaseStatus,
              {136, 85, 89, 3}),
        plain(C::General, "shuicong", "慧聪搜索", false, "isearch.hc360.com", "/pagesearch.asp?searchstr=",
              "正在连接isearch...", {9, 126, 89, 6}),
        plain(C::General, "scs", "搜索联盟", false, "www.chinasearch.com.cn", "/CollSearch.cgi?word=",
              "正在连接chinasearch...", {136, 125, 89, 7}),
        plain(C::General, "sbeida", "北大天网", false, "e.pku.edu.cn", "/cgi-bin/allsearch?word=", "正在连接pku...",
              {8, 165, 81, 10}),
        plain(C::General, "schina", "中华网", false, "search.china.com", "/cgi-bin/chinapagev2.exe?lg=0&word=",
              "正在连接china...", {135, 165, 81, 9}),
        plain(C::General, "s3721", "3721中文", false, "cns.3721.com", "/cns.dll?name=", "正在连接3721...",
              {8, 204, 81, 8}),

        typed(C::Entertainment, "schinamp3", "Chinamp3 歌曲搜索", true, chinamp3, "chinam1",
              "/mp3search/searchcontent.php?type=", "正在连接chinamp3...", {8, 6, 129, 2}),
        plain(C::Entertainment, "sbaidu3", "百度歌曲搜索", false, "mp3.baidu.com",
              "/wstsearch?tn=baidump3&ct=134217728&lm=-1&word=", "正在连接baidu...", {8, 46, 97, 5}),
        plain(C::Entertainment, "ssogua", "Sougua歌曲搜索", false, "www.sogua.com", "/search/search.asp?key=",
              "正在连接sogua...", {112, 46, 105, 0}),
        typed(C::Entertainment, "schinageci", "Chinamp3 歌词搜索", false, chinamp3, "chinam2",
              "/mp3search/searchcontent.php?type=", "正在连接chinamp3...", {8, 86, 121, 3}),
        plain(C::Entertainment, "sbaidu2", "百度Flash搜索", false, "flash.baidu.com",
              "/wstsearch?tn=flash&cl=3&f=8&ct=33554432&word=", "正在连接baidu...", {8, 129, 121, 1}),
        plain(C::Entertainment, "s163flash", "网易Fash搜索", false, "flash.163.com", "/first.php?mo=100&check_fonts=",
              netEaseStatus, {112, 128, 97, 7}),
        choice(C::Entertainment, "schinaflash", "Chinamp3 FlashMtv", "flash.chinamp3.com", "chinam3",
               {option("歌曲名搜索", "/flash_search.php?type=歌曲名&key="),
                option("歌手名搜索", "/flash_search.php?type=歌手名&key=")},
               "正在连接chinamp3...", OpeningRule::ChinaFlash, {9, 175, 121, 8}),

        plain(C::Software, "sonline", "华军软件园", true, "www.onlinedown.net", "/ss.php?q=", "正在连接online...",
              {8, 7, 89, 0}),
        plain(C::Software, "sskycn", "天空下载站", false, "www.skycn.com", "/search.php?sor=00&ss_name=",
              "正在连接skycn...", {128, 7, 81, 1}),
        plain(C::Software, "spco", "太平洋下载", false, "dl.pconline.com.cn",
              "/download/newswsearch.phtml?t=software&select=mh&st=", "正在连接pconline...", {8, 47, 81, 3}),
        plain(C::Software, "senet", "硅谷动力 ", false, "download.enet.com.cn", "/search.php?condition=",
              "正在连接enet...", {128, 47, 73, 5}),
        plain(C::Software, "sacdown", "ACDOWN下载", false, "www.acdown.com", "/ac3/search.asp?type=soft&k=",
              "正在连接acdown...", {8, 87, 81, 2}),
        plain(C::Software, "ssohuit", "搜狐IT频道", false, "it.sohu.com",
              "/newdownload/ssearchresult.php?searchtype=1&search=", "正在连接sohu...", {128, 87, 81, 6}),
        plain(C::Software, "szhengban", "正版软件", false, "www.soft888.com", "/search.asp?type=soft&k=",
              "正在连接soft888...", {8, 127, 65, 4}),

        plain(C::Other, "sbeidaftp", "北大天网Ftp 文件资源搜索", true, "bingle.pku.edu.cn",
              "/scripts/ftp_search.exe?word=", "正在连接bingle...", {8, 7, 169, 1}),
        plain(C::Other, "sdelphibbs", "大富翁论坛搜索(delphi编程资料)", false, "www.richsearch.com", "/search.jsp?S1=",
              "正在连接richsearch...", {8, 39, 209, 0}),
        plain(C::Other, "schinabook", "中华电脑书库", false, "www.pcbookcn.com", "/search.asp?action=title&keyword=",
              "正在连接pcbookcn...", {8, 71, 209, 2}),
        choice(C::Other, "ssinagame", "新浪网游戏下载", "games.sina.com.cn", "sinagame",
               {option("游戏", "/cgi-bin/games/search/searchgames.cgi?cat=downgames&keywords="),
                option("秘籍", "/cgi-bin/games/search/searchgames.cgi?cat=miji&keywords="),
                option("攻略", "/cgi-bin/games/search/searchgames.cgi?cat=gonglue&keywords=")},
               "正在连接sina...", OpeningRule::SinaGame, {8, 103, 113, 3}),
    };
}

SelectorBox songSelector(const char* name, ControlPlacement placement)
{
    return SelectorBox{QString::fromUtf8(name),
                       SearchCategory::Entertainment,
                       {QStringLiteral("歌曲名搜索"), QStringLiteral("歌手名搜索")},
                       QStringLiteral("歌曲名搜索"),
                       true,
                       placement};
}

} // namespace

namespace EngineCatalogue {

const QList<CategoryPage>& categories()
{
    static const QList<CategoryPage> pages{
        {SearchCategory::General, QStringLiteral("ts1"), QStringLiteral("综合")},
        {SearchCategory::Entertainment, QStringLiteral("ts2"), QStringLiteral("娱乐")},
        {SearchCategory::Software, QStringLiteral("ts3"), QStringLiteral("软件")},
        {SearchCategory::Other, QStringLiteral("ts4"), QStringLiteral("其它")},
    };
    return pages;
}

const QList<SearchEngine>& engines()
{
    static const QList<SearchEngine> rows = buildEngines();
    return rows;
}

QList<SearchEngine> enginesOf(SearchCategory category)
{
    QList<SearchEngine> rows;
    for (const SearchEngine& engine : engines()) {
        if (engine.category == category)
            rows.append(engine);
    }
    return rows;
}

const QList<SelectorBox>& selectors()
{
    static const QList<SelectorBox> boxes{
        songSelector("chinam1", {132, 4, 91, 4}),
        songSelector("chinam2", {132, 84, 91, 6}),
        songSelector("chinam3", {132, 173, 91, 9}),
        SelectorBox{QStringLiteral("sinagame"),
                    SearchCategory::Other,
                    {QStringLiteral("游戏"), QStringLiteral("秘籍"), QStringLiteral("攻略")},
                    QStringLiteral("游戏"),
                    false,
                    {147, 100, 73, 4}},
    };
    return boxes;
}

const SearchEngine* find(const QString& checkBoxName)
{
    const QList<SearchEngine>& rows = engines();
    const auto it = std::find_if(rows.cbegin(), rows.cend(),
                                 [&](const SearchEngine& engine) { return engine.checkBox == checkBoxName; });
    return it == rows.cend() ? nullptr : &*it;
}

} // namespace EngineCatalogue
