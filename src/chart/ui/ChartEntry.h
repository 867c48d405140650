#pragma once

#include <QString>

// The chart window's entry point. The chart window is not part of the program yet: it says so.
void DoIPEasyEnquiryChart(
    int EnquiryID, const QString &Query, const QString &Filter, const QString &ColumnList);
