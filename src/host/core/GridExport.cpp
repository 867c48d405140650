#include "host/core/GridExport.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportCell.h"
#include "host/core/GridExportXlsx.h"
#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/NameFold.h"

#include <QFileInfo>
#include <QStringList>

#include <cmath>

namespace {

// Buffered UTF-8 output into the export's file; its writes are checked there.
class TextSink
{
public:
    explicit TextSink(ExportFile &file)
        : m_file(file)
    {
    }
    void Put(const QString &text)
    {
        m_buffer += text.toUtf8();
        if (m_buffer.size() >= 1 << 16)
            Flush();
    }
    bool Finish(QString &error)
    {
        Flush();
        return m_file.Commit(error);
    }
    // Once a write failed the remaining rows need not be formatted.
    bool Failed() const { return m_file.Failed(); }

private:
    void Flush()
    {
        m_file.Write(m_buffer);
        m_buffer.clear();
    }
    ExportFile &m_file;
    QByteArray m_buffer;
};

QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// TSV has no quoting: the characters that would break a row become spaces.
QString TsvField(const QString &text)
{
    QString cleaned = text;
    for (QChar &c : cleaned) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return cleaned;
}

QString JsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\b':
            out += QStringLiteral("\\b");
            break;
        case '\f':
            out += QStringLiteral("\\f");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString JsonValue(const GridExportCell &cell)
{
    switch (cell.kind) {
    case GridExportCell::Null:
        return QStringLiteral("null");
    case GridExportCell::Bool:
        return cell.integer ? QStringLiteral("true") : QStringLiteral("false");
    case GridExportCell::Real:
        return std::isfinite(cell.real) ? GridExportCell::NumberText(cell.real)
                                        : QStringLiteral("null");
    case GridExportCell::Int:
        return cell.PlainText();
    default:
        return JsonString(cell.PlainText(QLatin1Char('T')));
    }
}

bool WriteText(const TQuillonDataSet &data, const std::vector<GridExportBinding> &columns,
    GridExportFormat format, ExportFile &file, const GridExportOptions &options, QString &error)
{
    TextSink sink(file);
    const bool csv = format == GridExportFormat::Csv;
    const QString separator = csv ? QStringLiteral(",") : QStringLiteral("\t");
    const QString endOfLine = csv ? QStringLiteral("\r\n") : QStringLiteral("\n");
    const auto field = [csv](const QString &text) { return csv ? CsvField(text) : TsvField(text); };
    if (options.captions) {
        QStringList captions;
        for (const GridExportBinding &column : columns)
            captions << field(column.caption);
        sink.Put(captions.join(separator) + endOfLine);
    }
    ForEachExportRow(data, options, [&](int row) {
        if (sink.Failed())
            return;
        QString line;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                line += separator;
            line += field(GridExportCell::Read(data, row, columns[i]).PlainText());
        }
        sink.Put(line + endOfLine);
    });
    return sink.Finish(error);
}

bool WriteJson(const TQuillonDataSet &data, const std::vector<GridExportBinding> &columns,
    ExportFile &file, const GridExportOptions &options, QString &error)
{
    TextSink sink(file);
    std::vector<QString> keys;
    for (const GridExportBinding &column : columns)
        keys.push_back(JsonString(column.caption) + QLatin1Char(':'));
    sink.Put(QStringLiteral("["));
    bool first = true;
    ForEachExportRow(data, options, [&](int row) {
        if (sink.Failed())
            return;
        QString object = first ? QStringLiteral("\n{") : QStringLiteral(",\n{");
        first = false;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                object += QLatin1Char(',');
            object += keys[i] + JsonValue(GridExportCell::Read(data, row, columns[i]));
        }
        sink.Put(object + QLatin1Char('}'));
    });
    sink.Put(QStringLiteral("\n]\n"));
    return sink.Finish(error);
}

bool WriteHtml(const TQuillonDataSet &data, const std::vector<GridExportBinding> &columns,
    ExportFile &file, const GridExportOptions &options, QString &error)
{
    TextSink sink(file);
    const QString title = options.title.toHtmlEscaped();
    sink.Put(QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
                            "<title>%1</title>\n<style>\n"
                            "table { border-collapse: collapse; font-family: sans-serif; }\n"
                            "th, td { border: 1px solid #999; padding: 2px 6px; }\n"
                            "th { background: #e8e8e8; }\n.n { text-align: right; }\n"
                            "</style>\n</head>\n<body>\n<table>\n<caption>%1</caption>\n")
                 .arg(title));
    if (options.captions) {
        QString header = QStringLiteral("<thead>\n<tr>");
        for (const GridExportBinding &column : columns)
            header += QStringLiteral("<th>%1</th>").arg(column.caption.toHtmlEscaped());
        sink.Put(header + QStringLiteral("</tr>\n</thead>\n"));
    }
    sink.Put(QStringLiteral("<tbody>\n"));
    ForEachExportRow(data, options, [&](int row) {
        if (sink.Failed())
            return;
        QString line = QStringLiteral("<tr>");
        for (const GridExportBinding &column : columns) {
            const GridExportCell cell = GridExportCell::Read(data, row, column);
            line += cell.IsNumber() ? QStringLiteral("<td class=\"n\">") : QStringLiteral("<td>");
            line += cell.PlainText().toHtmlEscaped() + QStringLiteral("</td>");
        }
        sink.Put(line + QStringLiteral("</tr>\n"));
    });
    sink.Put(QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n"));
    return sink.Finish(error);
}

} // namespace

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
    GridExportFormat format, const QString &path, const GridExportOptions &options, QString &error)
{
    ExportFile file(path, options.protectedFiles);
    return Write(data, columns, format, file, options, error);
}

bool GridExport::Write(const TQuillonDataSet &data, const std::vector<GridExportColumn> &columns,
    GridExportFormat format, ExportFile &file, const GridExportOptions &options, QString &error)
{
    error.clear();
    if (!data.Active()) {
        error = QStringLiteral("There is no result to save.");
        return false;
    }
    std::vector<GridExportBinding> bound;
    for (const GridExportColumn &column : columns) {
        const int field = data.FieldIndex(column.fieldName);
        if (field < 0) {
            error = QStringLiteral("The result has no field \"%1\".").arg(column.fieldName);
            return false;
        }
        bound.push_back({ field, data.FieldDataType(field), column.caption });
    }
    if (format == GridExportFormat::Xlsx) // opens the file once the workbook is complete
        return GridExportXlsx::Write(data, bound, file, options, error);
    if (!file.Open(error))
        return false;
    switch (format) {
    case GridExportFormat::Csv:
    case GridExportFormat::Tsv:
        return WriteText(data, bound, format, file, options, error);
    case GridExportFormat::Json:
        return WriteJson(data, bound, file, options, error);
    case GridExportFormat::Html:
        return WriteHtml(data, bound, file, options, error);
    case GridExportFormat::Xlsx:
        break;
    }
    file.Cancel();
    return false;
}
