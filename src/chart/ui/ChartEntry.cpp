#include "chart/ui/ChartEntry.h"

#include "host/core/Messages.h"

void DoIPEasyEnquiryChart(int, const QString &, const QString &, const QString &)
{
    InfoMessage(QStringLiteral("The chart window is not available yet."));
}
