#include "chart/ChartExport.h"

#include "chart/ChartModel.h"
#include "chart/ChartPainter.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

bool ChartFileFormatFor(const QString &fileName, ChartFileFormat &format)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        format = ChartFileFormat::Png;
    else if (suffix == QLatin1String("svg"))
        format = ChartFileFormat::Svg;
    else if (suffix == QLatin1String("pdf"))
        format = ChartFileFormat::Pdf;
    else
        return false;
    return true;
}

QImage RenderChartImage(const Chart &chart, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintChart(chart, painter, QRect(QPoint(0, 0), size));
    return image;
}

bool ExportChart(const Chart &chart, const QSize &size, const QString &fileName, QString &error)
{
    ChartFileFormat format;
    if (!ChartFileFormatFor(fileName, format)) {
        error = QStringLiteral("%1: the file name must end in .png, .svg or .pdf.").arg(fileName);
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    bool drawn = true;
    const QRect area(QPoint(0, 0), size);
    switch (format) {
    case ChartFileFormat::Png:
        drawn = RenderChartImage(chart, size).save(&file, "PNG");
        break;
    case ChartFileFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size);
        svg.setViewBox(area);
        svg.setTitle(QString::fromStdString(chart.title));
        QPainter painter;
        drawn = painter.begin(&svg);
        if (drawn) {
            PaintChart(chart, painter, area);
            drawn = painter.end();
        }
        break;
    }
    case ChartFileFormat::Pdf: {
        QPdfWriter pdf(&file);
        pdf.setTitle(QString::fromStdString(chart.title));
        pdf.setResolution(96);
        pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point));
        pdf.setPageMargins(QMarginsF());
        QPainter painter;
        drawn = painter.begin(&pdf);
        if (drawn) {
            PaintChart(chart, painter, area);
            drawn = painter.end();
        }
        break;
    }
    }
    if (!drawn) {
        file.cancelWriting();
        error = QStringLiteral("%1: the chart could not be drawn into the file.").arg(fileName);
        return false;
    }
    if (!file.commit()) {
        error = QStringLiteral("%1: %2").arg(fileName, file.errorString());
        return false;
    }
    return true;
}
