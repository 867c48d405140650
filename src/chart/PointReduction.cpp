#include "chart/PointReduction.h"

#include <algorithm>

namespace {

template <typename Along, typename Across>
std::vector<QPoint> reduce(const std::vector<QPoint> &points, Along along, Across across)
{
    std::vector<QPoint> kept;
    kept.reserve(std::min<std::size_t>(points.size(), 4096));
    std::size_t begin = 0;
    while (begin < points.size()) {
        const int line = along(points[begin]);
        std::size_t end = begin + 1;
        std::size_t low = begin;
        std::size_t high = begin;
        while (end < points.size() && along(points[end]) == line) {
            if (across(points[end]) < across(points[low]))
                low = end;
            if (across(points[end]) > across(points[high]))
                high = end;
            ++end;
        }
        std::size_t picks[4] = { begin, std::min(low, high), std::max(low, high), end - 1 };
        std::size_t last = points.size();
        for (const std::size_t pick : picks) {
            if (pick != last)
                kept.push_back(points[pick]);
            last = pick;
        }
        begin = end;
    }
    return kept;
}

} // namespace

std::vector<QPoint> ReducePerPixelColumn(const std::vector<QPoint> &points)
{
    return reduce(
        points, [](const QPoint &p) { return p.x(); }, [](const QPoint &p) { return p.y(); });
}

std::vector<QPoint> ReducePerPixelRow(const std::vector<QPoint> &points)
{
    return reduce(
        points, [](const QPoint &p) { return p.y(); }, [](const QPoint &p) { return p.x(); });
}
