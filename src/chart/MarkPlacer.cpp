#include "chart/MarkPlacer.h"

#include <algorithm>

MarkPlacer::MarkPlacer(const QRect &bounds)
    : m_bounds(bounds)
    , m_columns(std::max(1, bounds.width() / kCell + 1))
    , m_rows(std::max(1, bounds.height() / kCell + 1))
    , m_cells(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows))
{
}

bool MarkPlacer::Place(const QRect &mark)
{
    if (!m_bounds.contains(mark))
        return false;
    const int left = (mark.left() - m_bounds.left()) / kCell;
    const int right = std::min(m_columns - 1, (mark.right() - m_bounds.left()) / kCell);
    const int top = (mark.top() - m_bounds.top()) / kCell;
    const int bottom = std::min(m_rows - 1, (mark.bottom() - m_bounds.top()) / kCell);
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            for (const QRect &placed : m_cells[static_cast<std::size_t>(row * m_columns + column)])
                if (placed.intersects(mark))
                    return false;
        }
    }
    for (int row = top; row <= bottom; ++row)
        for (int column = left; column <= right; ++column)
            m_cells[static_cast<std::size_t>(row * m_columns + column)].push_back(mark);
    return true;
}
