#pragma once

#include <QStringList>

// Parameter type names by type index: boolean, text, date, decimal, integer.
inline constexpr int kSQLTypeBoolean = 0;
inline constexpr int kSQLTypeText = 1;
inline constexpr int kSQLTypeDate = 2;
inline constexpr int kSQLTypeDecimal = 3;
inline constexpr int kSQLTypeInteger = 4;
const QStringList &TSQLDataTypesString();

// Chart kind names by chart type index 0 to 8.
const QStringList &TChartTypeString();
