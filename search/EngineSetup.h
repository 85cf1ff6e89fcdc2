#pragma once

#include "EngineCatalogue.h"
#include "UserEngine.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <array>

// The user's choice of engines: per page, which catalogue rows are shown and which start ticked,
// and the user's own engines in search order. The default is the catalogue as it stands.
class EngineSetup final
{
public:
    bool isShown(const QString& checkBoxName) const { return !m_hidden.contains(checkBoxName); }
    void setShown(const QString& checkBoxName, bool shown);

    // The catalogue's start tick unless the user changed it.
    bool isCheckedAtStart(const SearchEngine& row) const;
    void setCheckedAtStart(const SearchEngine& row, bool checked);

    const QList<UserEngine>& userEngines(SearchCategory category) const { return m_user[int(category)]; }
    QList<UserEngine>& userEngines(SearchCategory category) { return m_user[int(category)]; }

    // The page's catalogue rows shown again, with the catalogue's start ticks; its own engines stay.
    void restoreDefaults(SearchCategory category);

    // The catalogue rows of the page the user sees, in search order.
    QList<SearchEngine> shownRows(SearchCategory category) const;

    bool operator==(const EngineSetup& other) const
    {
        return m_hidden == other.m_hidden && m_startTicks == other.m_startTicks && m_user == other.m_user;
    }
    bool operator!=(const EngineSetup& other) const { return !(*this == other); }

private:
    QSet<QString> m_hidden;
    QHash<QString, bool> m_startTicks; // only rows whose tick differs from the catalogue's
    std::array<QList<UserEngine>, 4> m_user;
};
