#include "EngineSetup.h"

void EngineSetup::setShown(const QString& checkBoxName, bool shown)
{
    if (shown)
        m_hidden.remove(checkBoxName);
    else
        m_hidden.insert(checkBoxName);
}

bool EngineSetup::isCheckedAtStart(const SearchEngine& row) const
{
    return m_startTicks.value(row.checkBox, row.checkedAtStart);
}

void EngineSetup::setCheckedAtStart(const SearchEngine& row, bool checked)
{
    if (checked == row.checkedAtStart)
        m_startTicks.remove(row.checkBox);
    else
        m_startTicks.insert(row.checkBox, checked);
}

void EngineSetup::restoreDefaults(SearchCategory category)
{
    for (const SearchEngine& row : EngineCatalogue::engines()) {
        if (row.category == category) {
            m_hidden.remove(row.checkBox);
            m_startTicks.remove(row.checkBox);
        }
    }
}

QList<SearchEngine> EngineSetup::shownRows(SearchCategory category) const
{
    QList<SearchEngine> rows;
    for (const SearchEngine& row : EngineCatalogue::engines()) {
        if (row.category == category && isShown(row.checkBox))
            rows.append(row);
    }
    return rows;
}
