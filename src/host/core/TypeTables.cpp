#include "host/core/TypeTables.h"

const QStringList &TSQLDataTypesString()
{
    static const QStringList names { QStringLiteral("Boolean"), QStringLiteral("Text"),
        QStringLiteral("Date"), QStringLiteral("Decimal"), QStringLiteral("Integer") };
    return names;
}

const QStringList &TChartTypeString()
{
    static const QStringList names { QStringLiteral("Bar"), QStringLiteral("Line"),
        QStringLiteral("Horizontal Bar"), QStringLiteral("Area"), QStringLiteral("Point"),
        QStringLiteral("Pie"), QStringLiteral("Fast Line"), QStringLiteral("Horizontal Line"),
        QStringLiteral("Horizontal Area") };
    return names;
}
