#pragma once

#include "host/core/GridExportCell.h"

#include <vector>

// The Excel writer of GridExport: a header row in bold, numbers as numbers, dates as Excel
// dates with a date format. Written to a temporary file beside the target, renamed at the end.
class GridExportXlsx
{
public:
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportBinding> &columns,
        const QString &path, const GridExportOptions &options, QString &error);
};
