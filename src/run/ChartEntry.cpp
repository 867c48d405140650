#include "run/ChartEntry.h"

#include "host/Messages.h"

namespace {
std::optional<ChartRequest> g_lastRequest;
}

void DoIPEasyEnquiryChart(
    int EnquiryID, const QString &Query, const QString &Filter, const QString &ColumnList)
{
    g_lastRequest = ChartRequest { EnquiryID, Query, Filter, ColumnList };
    InfoMessage(QStringLiteral("The chart window is not available yet."));
}

std::optional<ChartRequest> LastChartRequest()
{
    return g_lastRequest;
}

void ClearLastChartRequest()
{
    g_lastRequest.reset();
}
