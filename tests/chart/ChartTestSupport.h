#pragma once

#include "PrintQt.h"
#include "RecordingDelegate.h"
#include "TableRows.h"

#include "chart/ChartBuilder.h"
#include "chart/ChartModel.h"

#include <gtest/gtest.h>

// Builds as the chart window's show does: stored X and Y, then a refresh with the template.
inline bool BuildAsShown(ChartBuilder &builder, Chart &chart, const TQuillonDataSet &data,
    const QString &columns, const QString &x, const QString &y, QString &error,
    const std::optional<QByteArray> &layout = std::nullopt)
{
    builder.SetColumnList(columns);
    builder.SetDescription(QStringLiteral("Pay by month"));
    builder.PrepareCount(x, y, true);
    if (builder.Count() > 0)
        builder.PrepareXYColumn(x, y, true);
    return builder.RefreshChart(chart, data, false, true, layout, error);
}
