#pragma once

#include "EngineCatalogue.h"

#include <QString>

#include <optional>

// A search engine the user added: a name for the page, an address with "%s" where the query
// goes, and the character set the query is sent in.
struct UserEngine
{
    QString name;
    QString address;
    QString charset = QStringLiteral("UTF-8");
    bool checkedAtStart = false;
    bool shown = true; // on its page; a hidden one takes no part in searches

    bool operator==(const UserEngine& other) const
    {
        return name == other.name && address == other.address && charset == other.charset &&
               checkedAtStart == other.checkedAtStart && shown == other.shown;
    }
    bool operator!=(const UserEngine& other) const { return !(*this == other); }

    // The engine as a search row of its page, announced as "正在连接<名称>...".
    SearchEngine searchEngine(SearchCategory category) const;
};

// What keeps an engine from being stored, and which field it is in.
struct EngineProblem
{
    enum class Field { Name, Address, Charset };
    Field field;
    QString message; // says what to change
};

namespace UserEngineCheck {

inline constexpr int MaxLength = 1000;

// Nothing when the engine can be stored and searched.
std::optional<EngineProblem> problemOf(const UserEngine& engine);

} // namespace UserEngineCheck
