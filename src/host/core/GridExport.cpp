#include "host/core/GridExport.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportValue.h"
#include "host/core/GridExportWriter.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/NameFold.h"

#include <QFileInfo>
#include <QLocale>

namespace {

constexpr std::int64_t kProgressRows = 4096;

// The rows of an export in order: the given ones, else every record passing the filter. Stops
// when `each` returns false.
template <typename EachRow>
void ForEachExportRow(const TQuillonDataSet &data, const GridExportOptions &options, EachRow each)
{
    if (options.rows) {
        for (const int row : *options.rows) {
            if (!each(row))
                return;
        }
        return;
    }
    const int count = data.RecordCount();
    for (int record = 0; record < count; ++record) {
        if (!each(data.RowOfRecord(record)))
            return;
    }
}

} // namespace

QString GridExportReport::Warning() const
{
    const QLocale c(QLocale::English); // the texts are English, and so are their numbers
    QStringList said;
    if (cutTexts == 1)
        said << QStringLiteral("1 cell held more than the %1 characters an Excel cell holds: its "
                               "text was cut to fit.")
                    .arg(c.toString(kExcelCellChars));
    else if (cutTexts > 1)
        said << QStringLiteral("%1 cells held more than the %2 characters an Excel cell holds: "
                               "their texts were cut to fit.")
                    .arg(c.toString(cutTexts), c.toString(kExcelCellChars));
    if (sheets > 1)
        said << QStringLiteral("There were more rows than an Excel sheet holds (%1 a sheet): they "
                               "continue on further sheets, %2 in all.")
                    .arg(c.toString(sheetRows))
                    .arg(sheets);
    return said.join(QLatin1Char(' '));
}

std::optional<GridExportFormat> GridExport::FormatFromName(const QString &name)
{
    const QString folded = NameFold::fold(name.trimmed());
    if (folded == QLatin1String("csv"))
        return GridExportFormat::Csv;
    if (folded == QLatin1String("tsv"))
        return GridExportFormat::Tsv;
    if (folded == QLatin1String("json"))
        return GridExportFormat::Json;
    if (folded == QLatin1String("xlsx"))
        return GridExportFormat::Xlsx;
    if (folded == QLatin1String("html") || folded == QLatin1String("htm"))
        return GridExportFormat::Html;
    return std::nullopt;
}

std::optional<GridExportFormat> GridExport::FormatFromFileName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? std::nullopt : FormatFromName(suffix);
}

QString GridExport::Suffix(GridExportFormat format)
{
    switch (format) {
    case GridExportFormat::Csv:
        return QStringLiteral("csv");
    case GridExportFormat::Tsv:
        return QStringLiteral("tsv");
    case GridExportFormat::Json:
        return QStringLiteral("json");
    case GridExportFormat::Xlsx:
        return QStringLiteral("xlsx");
    case GridExportFormat::Html:
        return QStringLiteral("html");
    }
    return {};
}

bool GridExport::Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
    GridExportFormat format, const QString &path, const GridExportOptions &options, QString &error,
    GridExportReport *report)
{
    ExportFile file(path, options.protectedFiles);
    return Write(data, columns, format, file, options, error, report);
}

bool GridExport::Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
    GridExportFormat format, ExportFile &file, const GridExportOptions &options, QString &error,
    GridExportReport *report)
{
    error.clear();
    GridExportReport written;
    if (!data.Active() || !data.ColumnStore()) {
        error = QStringLiteral("There is no result to save.");
        return false;
    }
    const ResultColumns &store = *data.ColumnStore();
    std::vector<const ResultColumn *> bound;
    std::vector<std::string> captions;
    for (const GridExportColumn &column : columns) {
        const int field = data.FieldIndex(column.fieldName);
        if (field < 0) {
            error = QStringLiteral("The result has no field \"%1\".").arg(column.fieldName);
            return false;
        }
        bound.push_back(&store.column(field));
        captions.push_back(column.caption.toStdString());
    }
    const auto writer = GridExportWriter::Make(format, file, options, written);
    if (!writer->Begin(captions, error))
        return false;
    std::vector<GridExportValue> values(bound.size());
    const std::int64_t total
        = options.rows ? std::int64_t(options.rows->size()) : data.RecordCount();
    std::int64_t seen = 0;
    ForEachExportRow(data, options, [&](int row) {
        if (options.progress && seen % kProgressRows == 0 && !options.progress(seen, total)) {
            written.cancelled = true;
            return false;
        }
        ++seen;
        if (writer->Failed())
            return false;
        if (row < 0 || std::size_t(row) >= store.rowCount())
            return true;
        for (std::size_t i = 0; i < bound.size(); ++i)
            values[i] = GridExportValue::Stored(*bound[i], std::size_t(row));
        writer->Row(values.data());
        ++written.rows;
        return true;
    });
    if (written.cancelled) {
        file.Cancel(); // a replacement never takes the target's place
        error = QStringLiteral("The save was cancelled: no file was written.");
        if (report)
            *report = written;
        return false;
    }
    const bool finished = writer->Finish(error);
    if (report)
        *report = written;
    return finished;
}
