#pragma once

#include <QByteArray>
#include <QString>

struct Chart;

// The chart template kept in nChartLayout: how a chart looks (kinds, series titles and settings,
// title, legend, axes, walls, appearance), never its points. Format: ChartTemplate.md.

enum class TemplateLoad { Loaded, Empty, Failed };

inline constexpr qsizetype kMaxTemplateBytes = 256 * 1024;
inline constexpr int kMaxTemplateSeries = 100;
inline constexpr qsizetype kMaxTemplateText = 1000;

// One chart always gives the same bytes.
QByteArray SaveChartTemplate(const Chart &chart);
// Empty bytes load nothing (Empty, silently). A broken, oversized or newer-major template gives
// Failed with a plain `reason` and leaves `chart` as it was; otherwise the chart takes the
// template's look and series (without points). Unknown keys are ignored.
TemplateLoad LoadChartTemplate(const QByteArray &bytes, Chart &chart, QString &reason);
