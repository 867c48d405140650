#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class ExportFile;
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
    // Files never to be written: the open databases. Each is refused with its -journal, -wal and
    // -shm files, under any spelling of its path and through links.
    QStringList protectedFiles;
};

// Writes a dataset's rows to a file. Values keep their kind where the format has one: numbers
// as numbers, dates as dates (ISO text in the text formats), NULL as nothing (null in JSON).
// A regular file appears whole or not at all: everything is written to a temporary file that
// replaces the target only at the end; a FIFO or a character device is written in place (see
// ExportFile). CSV follows RFC 4180 (comma, quotes doubled, CRLF, UTF-8, no BOM).
class GridExport
{
public:
    // "csv", "tsv", "json", "xlsx", "html" (also "htm"), any letter case.
    static std::optional<GridExportFormat> FormatFromName(const QString &name);
    static std::optional<GridExportFormat> FormatFromFileName(const QString &path);
    static QString Suffix(GridExportFormat format); // without the dot

    // False with the reason in `error` (a field that is not in the result, a protected file, a
    // file that cannot be written with the system's reason, too many rows for a sheet); a
    // regular target file is then left as it was.
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
        GridExportFormat format, const QString &path, const GridExportOptions &options,
        QString &error);
    // The same into a file not yet opened, e.g. standard output; the file is opened and committed
    // here. `options.protectedFiles` is not used: the file was given its own when it was made.
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
        GridExportFormat format, ExportFile &file, const GridExportOptions &options,
        QString &error);
};
