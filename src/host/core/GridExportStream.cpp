#include "host/core/GridExportStream.h"

#include "host/core/GridExportValue.h"
#include "host/core/GridExportWriter.h"
#include "host/db/dataset/ResultColumns.h"

GridExportStream::ColumnChooser GridExportStream::EveryField()
{
    return [](const QStringList &fields, std::vector<GridExportColumn> &columns, QString &) {
        for (const QString &field : fields)
            columns.push_back({ field, field });
        return true;
    };
}

GridExportStream::GridExportStream(GridExportFormat format, ExportFile &file,
    const GridExportOptions &options, ColumnChooser chooser)
    : m_format(format)
    , m_file(file)
    , m_options(options)
    , m_chooser(std::move(chooser))
{
}

GridExportStream::~GridExportStream() = default;

bool GridExportStream::Begin(const Statement &statement)
{
    // The fields named as the result window would name them, with their declared types.
    ResultColumns fields;
    fields.addColumns(statement);
    QStringList names;
    for (int i = 0; i < fields.columnCount(); ++i)
        names << QString::fromStdString(fields.column(i).name());
    std::vector<GridExportColumn> columns;
    if (!m_chooser(names, columns, m_error)) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The columns to write could not be chosen.");
        return false;
    }
    std::vector<std::string> captions;
    for (const GridExportColumn &column : columns) {
        const int field = fields.indexOf(column.fieldName.toStdString());
        if (field < 0) {
            m_error = QStringLiteral("The result has no field \"%1\".").arg(column.fieldName);
            return false;
        }
        m_fields.push_back(field);
        m_types.push_back(fields.column(field).type());
        captions.push_back(column.caption.toStdString());
    }
    m_cells.resize(std::size_t(fields.columnCount()));
    m_values.resize(columns.size());
    m_writer = GridExportWriter::Make(m_format, m_file, m_options, m_report);
    return m_writer->Begin(captions, m_error);
}

bool GridExportStream::Row(const Statement &statement)
{
    const int read = statement.readRow(m_cells.data(), int(m_cells.size()));
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        m_values[i] = m_fields[i] < read
            ? GridExportValue::FromCell(m_cells[m_fields[i]], m_types[i])
            : GridExportValue();
    }
    m_writer->Row(m_values.data());
    ++m_report.rows;
    if (!m_writer->Failed())
        return true;
    m_writer->Finish(m_error); // says why, and leaves a regular target as it was
    m_writer.reset();
    return false;
}

bool GridExportStream::Finish(QString &error)
{
    if (!m_writer) {
        error = m_error.isEmpty() ? QStringLiteral("There is no result to save.") : m_error;
        return false;
    }
    const bool finished = m_writer->Finish(error);
    m_writer.reset();
    return finished;
}
