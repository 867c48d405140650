#include "chart/ChartModel.h"

#include "chart/ChartPalettes.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

constexpr const char *kKindKeys[kSeriesKindCount] = { "bar", "line", "horizontalBar", "area",
    "point", "pie", "fastLine", "horizontalLine", "horizontalArea" };

} // namespace

SeriesKind SeriesKindFromIndex(int index)
{
    return index >= 0 && index < kSeriesKindCount ? static_cast<SeriesKind>(index)
                                                  : SeriesKind::Bar;
}

bool IsHorizontal(SeriesKind kind)
{
    return kind == SeriesKind::HorizBar || kind == SeriesKind::HorizLine
        || kind == SeriesKind::HorizArea;
}

bool IsLineKind(SeriesKind kind)
{
    return kind == SeriesKind::Line || kind == SeriesKind::FastLine
        || kind == SeriesKind::HorizLine;
}

bool IsAreaKind(SeriesKind kind)
{
    return kind == SeriesKind::Area || kind == SeriesKind::HorizArea;
}

const char *SeriesKindKey(SeriesKind kind)
{
    return kKindKeys[static_cast<int>(kind)];
}

bool SeriesKindFromKey(const std::string &key, SeriesKind &kind)
{
    for (int i = 0; i < kSeriesKindCount; ++i) {
        if (key == kKindKeys[i]) {
            kind = static_cast<SeriesKind>(i);
            return true;
        }
    }
    return false;
}

std::string PointLabel(const ChartSeries &series, std::size_t index)
{
    if (!series.numberLabels)
        return index < series.labels.size() ? series.labels[index] : std::string();
    const ChartPoint &point = series.points[index];
    const double position = IsHorizontal(series.kind) ? point.y : point.x;
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, position);
    return std::string(digits, written.ptr);
}

bool HasLabels(const ChartSeries &series)
{
    if (series.points.empty())
        return false;
    if (series.numberLabels)
        return true;
    return std::any_of(series.labels.begin(), series.labels.end(),
        [](const std::string &label) { return !label.empty(); });
}

QRgb Chart::SeriesColour(std::size_t seriesIndex) const
{
    const ChartSeries &one = series[seriesIndex];
    return one.autoColour ? PaletteColour(palette, seriesIndex) : one.colour;
}

QRgb Chart::PointColour(const ChartSeries &one, std::size_t pointIndex) const
{
    const ChartPoint &point = one.points[pointIndex];
    if (!point.autoColour)
        return point.colour;
    if (one.colorEachPoint)
        return PaletteColour(palette, pointIndex);
    const auto position = static_cast<std::size_t>(&one - series.data());
    return position < series.size() ? SeriesColour(position) : one.colour;
}
