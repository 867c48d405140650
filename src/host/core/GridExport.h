#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
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

// What an Excel sheet holds: rows (the header included) and characters in a cell.
inline constexpr int kExcelSheetRows = 1048576;
inline constexpr int kExcelCellChars = 32767;

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
    // Rows of an Excel sheet, the header included; the rows that do not fit go on to further
    // sheets. Lower only to try that without a million rows.
    int sheetRows = kExcelSheetRows;
    // Called before the first row and then every few thousand rows with the rows written and
    // the rows in all; returning false stops the export: nothing is left of the file.
    std::function<bool(std::int64_t written, std::int64_t total)> progress;
};

// What an export wrote, and what the format made it change: the person is told (Warning()).
struct GridExportReport
{
    std::int64_t rows = 0; // rows written, without the captions
    std::int64_t cutTexts = 0; // texts longer than an Excel cell holds, cut to fit
    int sheets = 0; // Excel sheets written
    int sheetRows = kExcelSheetRows - 1; // rows below the header on each
    bool cancelled = false; // `progress` stopped it
    // One line, empty when the file holds the rows as they are.
    QString Warning() const;
};

// Writes rows to a file in one of the formats. Values keep their kind where the format has one:
// numbers as numbers, dates as dates (ISO text in the text formats), NULL as nothing (null in
// JSON). A date without a time of day is written as the date alone ("2024-01-31"), one with a
// time as date and time; that is decided for each value, as rows are written when they are read
// and a column may hold both. A regular file appears whole or not at all: everything is written
// to a temporary file that replaces the target only at the end; a FIFO or a character device is
// written in place (see ExportFile). CSV follows RFC 4180 (comma, quotes doubled, CRLF, UTF-8,
// no BOM); TSV quotes the same way, with tabs and LF. The writers are the GridExportWriter ones;
// GridExportStream drives them over a statement's rows as they are read.
class GridExport
{
public:
    // "csv", "tsv", "json", "xlsx", "html" (also "htm"), any letter case.
    static std::optional<GridExportFormat> FormatFromName(const QString &name);
    static std::optional<GridExportFormat> FormatFromFileName(const QString &path);
    static QString Suffix(GridExportFormat format); // without the dot

    // False with the reason in `error` (a field that is not in the result, a protected file, a
    // file that cannot be written with the system's reason); a regular target file is then left
    // as it was. `report`, when given, receives what was written and changed.
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
        GridExportFormat format, const QString &path, const GridExportOptions &options,
        QString &error, GridExportReport *report = nullptr);
    // The same into a file not yet opened, e.g. standard output; the file is opened and committed
    // here. `options.protectedFiles` is not used: the file was given its own when it was made.
    static bool Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
        GridExportFormat format, ExportFile &file, const GridExportOptions &options, QString &error,
        GridExportReport *report = nullptr);
};
