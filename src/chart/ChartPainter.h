#pragma once

#include <QPointF>
#include <QRect>

#include <vector>

class QPainter;
struct Chart;

// Where the last paint put the plot and which values its edges stand for: the window's zoom and
// move tools turn pixels back into axis ranges with it.
struct ChartGeometry
{
    bool hasAxes = false;
    QRect plot; // front plane
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    std::vector<QRect> pies; // the circle of each pie series
    double XValue(double pixel) const;
    double YValue(double pixel) const;
};

struct PaintOptions
{
    // Off only to compare against the full drawing: the picture is the same either way.
    bool reducePoints = true;
};

// Draws the chart into `area` of any paint device (widget, image, SVG, PDF): one code path.
ChartGeometry PaintChart(
    const Chart &chart, QPainter &painter, const QRect &area, const PaintOptions &options = {});
