#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The fixed table of search engines: which check box selects each one, how its result-page
// address is formed, and where its controls sit on the main window's category pages.

enum class SearchCategory { General /*ts1 综合*/, Entertainment /*ts2 娱乐*/, Software /*ts3 软件*/, Other /*ts4 其它*/ };

// Plain: host + prefix + query. Typed: host + prefix + selector text + "&key=" + query.
// Choice: each choice whose selector text matches the selector's text yields host + its prefix + query.
// Address: a user's engine; prefix holds its whole address, each "%s" in it is the query.
enum class UrlForm { Plain, Typed, Choice, Address };

// ChinaFlash announces itself only after its last choice was opened; SinaGame announces
// itself once after any matching choice.
enum class OpeningRule { Standard, ChinaFlash /*schinaflash*/, SinaGame /*ssinagame*/ };

struct UrlChoice
{
    QString selectorText;
    QString prefix;
};

struct ControlPlacement
{
    int left, top, width, tabOrder; // px inside the page
};

struct SearchEngine
{
    SearchCategory category;
    QString checkBox;
    QString caption;
    bool checkedAtStart;
    QString host;
    UrlForm form;
    QString prefix;   // empty for choice rows
    QString selector; // empty for plain rows
    QList<UrlChoice> choices;
    QString statusText;
    OpeningRule rule;
    ControlPlacement placement;
    QString charset; // iconv name of the set the texts are sent in
};

struct CategoryPage
{
    SearchCategory category;
    QString pageName;   // "ts1"
    QString tabCaption; // "综合"
};

struct SelectorBox
{
    QString name;
    SearchCategory category;
    QStringList items;
    QString initialText;
    bool windowColourBackground; // RGB (248, 246, 230) instead of the standard window background
    ControlPlacement placement;
};

namespace EngineCatalogue {

inline constexpr int CheckBoxHeight = 17;
inline constexpr int ComboBoxHeight = 20;
inline constexpr int ComboBoxItemHeight = 12;

const QList<CategoryPage>& categories();       // 4, in order
const QList<SearchEngine>& engines();          // 29, dispatch order
QList<SearchEngine> enginesOf(SearchCategory); // dispatch order
const QList<SelectorBox>& selectors();         // chinam1, chinam2, chinam3, sinagame
const SearchEngine* find(const QString& checkBoxName); // null for an unknown name

} // namespace EngineCatalogue
