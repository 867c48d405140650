#include "chart/ChartLayoutStore.h"

#include "host/db/dataset/TQuillonADOQuery.h"

std::optional<QByteArray> ReadChartLayout(Connection &payroll, int enquiryId, QString &error)
{
    TQuillonADOQuery query;
    query.SetConnection(&payroll);
    query.SetSQL(QStringLiteral("select nChartLayout from _iptblEasyEnquiry where idEnquiry = ")
        + QString::number(enquiryId));
    if (!query.Open()) {
        error = query.LastErrorText();
        return std::nullopt;
    }
    if (query.IsEmpty() || query.Field(0).IsNull())
        return std::nullopt;
    return query.Field(0).AsBytes();
}
