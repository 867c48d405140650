#pragma once

#include <QString>

#include <optional>
#include <vector>

class TQuillonDataSet;

enum class GridExportFormat { Csv, Tsv, Json, Xlsx, Html };

// One column of an export: the field it reads and the caption written above it.
struct GridExportColumn
{
    QString fieldName;
    QString caption;
};

struct GridExportOptions
{
    QString title; // the HTML table's caption and the Excel sheet's name
    bool captions = true; // a first row of captions (CSV, TSV, XLSX, HTML)
    // Dataset rows (positions in the whole result) in the order to write; without them every
    // record that passes the dataset's filter, in record order.
    std::optional<std::vector<int>> rows;
};

// Writes a dataset's rows to a file. Values keep their kind where the format has one: numbers
// as numbers, dates as dates (ISO text in the text formats), NULL as nothing (null in JSON).
// The file appears whole or not at all: everything is written to a temporary file that replaces
// the target only at the end. CSV follows RFC 4180 (comma, quotes doubled, CRLF, UTF-8, no BOM).
class GridExport
{
public:
    // "csv", "tsv", "json", "xlsx", "html" (also "htm"), any letter case.
    static std::optional<GridExportFormat> FormatFromName(const QString &name);
    static std::optional<GridExportFormat> FormatFromFileName(const QString &path);
    static QString Suffix(GridExportFormat format); // without the dot

    // False with the reason in `error` (a field that is not in the result, a file that cannot
    // be written, too many rows for a sheet); the target file is then left as it was.
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
        GridExportFormat format, const QString &path, const GridExportOptions &options,
        QString &error);
};
