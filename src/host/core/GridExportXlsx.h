#pragma once

#include "host/core/GridExportCell.h"

#include <vector>

class ExportFile;

// The Excel writer of GridExport: a header row in bold, numbers as numbers, dates as Excel
// dates with a date format. The workbook is built in the temporary folder and, once complete,
// copied into `file` (opened and committed here).
class GridExportXlsx
{
public:
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportBinding> &columns,
        ExportFile &file, const GridExportOptions &options, QString &error);
};
