#pragma once

#include <QRect>

#include <vector>

// Decides which marks fit: a mark is placed when it lies inside the bounds and overlaps no mark
// placed before. Placed marks are kept in square buckets, and as they never overlap, a bucket
// holds only a few: each test costs a bounded amount, so a series of n points costs O(n).
class MarkPlacer
{
public:
    explicit MarkPlacer(const QRect &bounds);
    bool Place(const QRect &mark);

private:
    static constexpr int kCell = 32;
    QRect m_bounds;
    int m_columns;
    int m_rows;
    std::vector<std::vector<QRect>> m_cells;
};
