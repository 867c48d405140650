#pragma once

#include <QPoint>

#include <vector>

// Keeps, of each run of points that fall in one pixel column, the first, the lowest, the
// highest and the last, in the order they came. A polyline through what is kept covers the same
// pixels as one through every point: within a column its segments are vertical and together
// span the same range, and the segments between columns are unchanged.
std::vector<QPoint> ReducePerPixelColumn(const std::vector<QPoint> &points);
// The same for horizontal kinds, whose runs share a pixel row.
std::vector<QPoint> ReducePerPixelRow(const std::vector<QPoint> &points);
