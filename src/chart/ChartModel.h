#pragma once

#include <QRgb>

#include <string>
#include <vector>

// The chart as data: what the painter draws, the template stores and the builder fills. Plain
// structs with std::string text (UTF-8), so a model of 100,000 points stays one vector each.

// Series kinds by their stored index; the order is fixed because IQs store it.
enum class SeriesKind {
    Bar = 0,
    Line = 1,
    HorizBar = 2,
    Area = 3,
    Point = 4,
    Pie = 5,
    FastLine = 6,
    HorizLine = 7,
    HorizArea = 8
};
inline constexpr int kSeriesKindCount = 9;
// An index outside 0 to 8 (a list without a selection gives -1) makes a vertical bar.
SeriesKind SeriesKindFromIndex(int index);
// Horizontal kinds take each point as (value, position): the position axis is the vertical one.
bool IsHorizontal(SeriesKind kind);
bool IsLineKind(SeriesKind kind); // line, fast line, horizontal line: no area below
bool IsAreaKind(SeriesKind kind);
// Stable names for the template; nullptr-free: every kind has one.
const char *SeriesKindKey(SeriesKind kind);
bool SeriesKindFromKey(const std::string &key, SeriesKind &kind);

// 24 bytes: a chart of a million points is a vector of plain values.
struct ChartPoint
{
    double x = 0;
    double y = 0;
    QRgb colour = 0;
    bool autoColour = true; // the palette's colour for the point's position
};

struct ChartMarks
{
    bool visible = true;
    QRgb backColour = qRgb(255, 255, 255);
    QRgb arrowColour = qRgb(0, 0, 0);
};

struct ChartSeries
{
    SeriesKind kind = SeriesKind::Bar;
    std::string title;
    QRgb colour = 0;
    bool autoColour = true; // the palette's colour for the series' position
    bool colorEachPoint = false;
    // Labels are the positions in decimal (a numeric X): kept as numbers, not as texts.
    // Otherwise `labels` holds the text of each point, by position (missing ones are empty).
    bool numberLabels = false;
    std::vector<std::string> labels;
    int lineWidth = 1;
    ChartMarks marks;
    std::vector<ChartPoint> points;
};

// A point's label: its text, or the decimal of its position for a series of number labels.
std::string PointLabel(const ChartSeries &series, std::size_t index);
bool HasLabels(const ChartSeries &series);

struct ChartAxis
{
    std::string title;
    bool visible = true;
    bool automatic = true; // range from the points; otherwise minimum to maximum
    double minimum = 0;
    double maximum = 0;
};

struct ChartAppearance
{
    QRgb background = qRgb(255, 255, 255);
    QRgb backWall = qRgb(255, 255, 255);
    QRgb sideWalls = qRgb(0xF3, 0xF3, 0xF3); // left and bottom walls
    QRgb wallPen = qRgb(0xC0, 0xC0, 0xC0);
    QRgb frame = qRgb(0xC0, 0xC0, 0xC0);
    QRgb titleColour = qRgb(0, 0, 0);
    int titlePixels = 13;
    QRgb axisLine = qRgb(0xC0, 0xC0, 0xC0);
    QRgb axisLabels = qRgb(0x80, 0x80, 0x80);
};

inline constexpr const char *kPlaceholderTitle = "TChart";
inline constexpr int kDefaultDepthPercent = 11;

struct Chart
{
    std::string title = kPlaceholderTitle;
    bool legendVisible = true;
    bool view3D = true;
    int depthPercent = kDefaultDepthPercent;
    int palette = 0; // position in ChartPalettes()
    ChartAppearance appearance;
    ChartAxis bottomAxis;
    ChartAxis leftAxis;
    std::vector<ChartSeries> series;

    // The colour a series or point is drawn in: its own, or the palette's for its position.
    QRgb SeriesColour(std::size_t seriesIndex) const;
    QRgb PointColour(const ChartSeries &series, std::size_t pointIndex) const;
};
