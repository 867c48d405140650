#pragma once

#include "chart/ChartModel.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class TQuillonDataSet;

// Which result columns an IQ charts and how its rows become series and points. The chart window
// and `corvane-iq chart` both build through this class, so they draw the same chart.
//
// Calling order: PrepareCount, then PrepareXYColumn when Count() is above 0, then RefreshChart.
class ChartBuilder
{
public:
    void SetColumnList(const QString &columns) { FColumnList = columns; }
    QString ColumnList() const { return FColumnList; }
    void SetDescription(const QString &description) { FDescription = description; }
    void SetPalette(int palette) { FPalette = palette; }
    int Palette() const { return FPalette; }
    void SetChartType(int chartType) { FChartType = chartType; }
    int ChartType() const { return FChartType; }

    // 0: no valid X column; 1: X only; n >= 2: X and n - 1 Y columns.
    int Count() const { return FCount; }
    QString XColumn() const { return FXColumn; }

    void PrepareCount(const QString &X, const QString &Y, bool AutoPick);
    void PrepareXYColumn(const QString &X, const QString &Y, bool AutoPick);
    // Both non-empty and Name one of List's names, compared exactly.
    static bool ValidColumn(const QString &Name, const QString &List);
    QString GetYColumn() const; // the Y columns in use, joined by ","

    // Refills `chart` from the records of `data` (the filter applies). With LoadTemplate the
    // stored template `layout` (nullopt: none stored) is loaded first; a broken one is reported
    // through ErrMessage and the series are made as bars. Recreate makes every series anew with
    // the chosen kind. False, with `error`, when a value cannot be read as a number: the points
    // added before that row stay.
    bool RefreshChart(Chart &chart, const TQuillonDataSet &data, bool Recreate, bool LoadTemplate,
        const std::optional<QByteArray> &layout, QString &error);

    // A new series of the kind the rules give, added to the chart; its index.
    std::size_t SetSeries(Chart &chart, bool ForceBar, bool UseChosenType) const;
    static int SetChartType(const ChartSeries &series);
    // "$1,200.50" -> 1200 (the first "$" and every "," dropped, the locale's number format,
    // halves to the even neighbour). False for empty text and anything that is no number.
    static bool ValidateInt(const QString &Text, qint64 &Value);

private:
    bool FillSeries(Chart &chart, std::size_t series, const TQuillonDataSet &data, int xField,
        int yField, double &position, QString &error) const;

    QString FColumnList;
    QString FDescription;
    int FCount = 0;
    QString FXColumn;
    std::vector<QString> FYColumn;
    int FPalette = 0;
    int FChartType = 0;
};

// The message shown when a stored template cannot be read or the chart cannot be saved.
QString ChartTemplateMessage(const QString &reason);
