#pragma once

#include "EngineSetup.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// Where the controls of one category page go, as the user's engine setup has it. Shown catalogue
// rows close up, in search order, onto the page's designed places: a row takes the left and top
// of its new place and keeps its width, its selector moves with it. The user's engines follow
// in the page's two columns at its row spacing. With the catalogue as it stands, every control
// is where the page was designed to have it.
struct PlacedControl
{
    enum class Kind { Row, Selector, UserEngine };
    Kind kind;
    QString name;       // the check box's or selector's name; empty for a user's engine
    int userIndex = -1; // the user's engine, in the page's list
    QRect geometry;
};

struct PagePlan
{
    QList<PlacedControl> controls; // in tab order
    QSize contentSize;             // what the controls need, from the page's top left corner
};

namespace PageLayout {

inline constexpr int PageWidth = 225;

PagePlan plan(SearchCategory category, const EngineSetup& setup);

} // namespace PageLayout
