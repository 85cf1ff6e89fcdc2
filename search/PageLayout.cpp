#include "PageLayout.h"

#include <algorithm>
#include <cmath>

namespace {

const SelectorBox* selectorNamed(const QString& name)
{
    for (const SelectorBox& box : EngineCatalogue::selectors()) {
        if (box.name == name)
            return &box;
    }
    return nullptr;
}

// The page's grid as its designed places show it: the two columns' lefts, the row spacing, and
// the places the user's engines take after the designed ones.
class Grid final
{
public:
    explicit Grid(const QList<SearchEngine>& rows)
    {
        for (const SearchEngine& row : rows)
            m_places.append(QPoint(row.placement.left, row.placement.top));
        m_left = m_places.first().x();
        for (const QPoint& place : std::as_const(m_places))
            m_left = std::min(m_left, place.x());
        m_right = -1;
        QList<int> leftTops;
        for (const QPoint& place : std::as_const(m_places)) {
            if (place.x() > m_left + 60)
                m_right = m_right < 0 ? place.x() : std::min(m_right, place.x());
            else
                leftTops.append(place.y());
            m_lastTop = std::max(m_lastTop, place.y());
        }
        if (m_right < 0)
            m_right = PageLayout::PageWidth / 2 + m_left;
        std::sort(leftTops.begin(), leftTops.end());
        m_pitch = leftTops.size() > 1
                      ? int(std::lround(double(leftTops.last() - leftTops.first()) / double(leftTops.size() - 1)))
                      : 32;
        // The last line's right half is free when nothing was designed there.
        m_rightOfLastFree = true;
        for (const SearchEngine& row : rows) {
            if (std::abs(row.placement.top - m_lastTop) <= 5 && row.placement.left + row.placement.width > m_right)
                m_rightOfLastFree = false;
        }
        for (const SelectorBox& box : EngineCatalogue::selectors()) {
            if (box.category == rows.first().category && std::abs(box.placement.top - m_lastTop) <= 5)
                m_rightOfLastFree = false;
        }
    }

    // The n-th place of the page: the designed ones, then the grid's continuation.
    QPoint place(int n) const
    {
        if (n < m_places.size())
            return m_places.at(n);
        int extra = int(n - m_places.size());
        if (m_rightOfLastFree) {
            if (extra == 0)
                return QPoint(m_right, m_lastTop);
            --extra;
        }
        return QPoint(extra % 2 == 0 ? m_left : m_right, m_lastTop + m_pitch * (extra / 2 + 1));
    }

    // A user's engine fills its column.
    int widthAt(const QPoint& place) const
    {
        return place.x() >= m_right ? PageLayout::PageWidth - place.x() : m_right - place.x() - 6;
    }

private:
    QList<QPoint> m_places;
    int m_left = 0, m_right = 0, m_pitch = 0, m_lastTop = 0;
    bool m_rightOfLastFree = false;
};

} // namespace

namespace PageLayout {

PagePlan plan(SearchCategory category, const EngineSetup& setup)
{
    const QList<SearchEngine> rows = EngineCatalogue::enginesOf(category);
    const Grid grid(rows);

    struct Ordered
    {
        int tabOrder;
        PlacedControl control;
    };
    QList<Ordered> catalogue;
    int next = 0;
    for (const SearchEngine& row : rows) {
        if (!setup.isShown(row.checkBox))
            continue;
        const QPoint place = grid.place(next++);
        const QPoint shift = place - QPoint(row.placement.left, row.placement.top);
        catalogue.append({row.placement.tabOrder,
                          {PlacedControl::Kind::Row, row.checkBox, -1,
                           QRect(place, QSize(row.placement.width, EngineCatalogue::CheckBoxHeight))}});
        if (const SelectorBox* box = selectorNamed(row.selector)) {
            const ControlPlacement& at = box->placement;
            catalogue.append(
                {at.tabOrder,
                 {PlacedControl::Kind::Selector, box->name, -1,
                  QRect(QPoint(at.left, at.top) + shift, QSize(at.width, EngineCatalogue::ComboBoxHeight))}});
        }
    }
    std::stable_sort(catalogue.begin(), catalogue.end(),
                     [](const Ordered& a, const Ordered& b) { return a.tabOrder < b.tabOrder; });

    PagePlan plan;
    for (const Ordered& ordered : std::as_const(catalogue))
        plan.controls.append(ordered.control);
    const QList<UserEngine>& own = setup.userEngines(category);
    for (int i = 0; i < own.size(); ++i) {
        if (!own.at(i).shown)
            continue;
        const QPoint place = grid.place(next++);
        plan.controls.append({PlacedControl::Kind::UserEngine, QString(), i,
                              QRect(place, QSize(grid.widthAt(place), EngineCatalogue::CheckBoxHeight))});
    }
    QRect bounds;
    for (const PlacedControl& control : std::as_const(plan.controls))
        bounds |= control.geometry;
    plan.contentSize = QSize(bounds.right() + 1, bounds.bottom() + 1);
    return plan;
}

} // namespace PageLayout
