#pragma once

#include <QSize>
#include <QString>

struct Chart;
class QImage;

// Pictures of a chart for the toolbar's export and `corvane-iq chart`, by the file's suffix:
// .png, .svg or .pdf. The file is written under a temporary name and renamed when complete, so
// a failure leaves no file and never a half one.
enum class ChartFileFormat { Png, Svg, Pdf };
bool ChartFileFormatFor(const QString &fileName, ChartFileFormat &format);
QImage RenderChartImage(const Chart &chart, const QSize &size);
bool ExportChart(const Chart &chart, const QSize &size, const QString &fileName, QString &error);
