#pragma once

#include <QString>

#include <optional>

// The chart window's entry point. The chart window is not part of the program yet: the call
// says so and keeps its arguments, so the result window's chart command can be checked.
void DoIPEasyEnquiryChart(
    int EnquiryID, const QString &Query, const QString &Filter, const QString &ColumnList);

struct ChartRequest
{
    int enquiryId = 0;
    QString query;
    QString filter;
    QString columnList;
};
std::optional<ChartRequest> LastChartRequest();
void ClearLastChartRequest();
