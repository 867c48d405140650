#pragma once

#include "host/core/GridExport.h"
#include "host/db/dataset/RowReceiver.h"
#include "host/db/engine/FieldType.h"
#include "host/db/engine/Statement.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class GridExportWriter;
struct GridExportValue;

// Writes a statement's rows to a file as they are read: the receiver of TQuillonADOQuery::Stream
// (and StreamEnquiry), so that a result of any size is written in flat memory. The same writers
// and the same values as GridExport::Write of the opened result, but for one thing: a column
// that holds values of more than one kind (a date field with a word in it) is text in an opened
// result, while here each value is written as what it is.
class GridExportStream final : public RowReceiver
{
public:
    // Picks the columns to write, in order, with their captions, from the result's field names
    // (made unique as a result's fields are: "cCode", "cCode_1"). False with the error.
    using ColumnChooser = std::function<bool(
        const QStringList &fields, std::vector<GridExportColumn> &columns, QString &error)>;
    // Every field, in result order, under its own name.
    static ColumnChooser EveryField();

    GridExportStream(GridExportFormat format, ExportFile &file, const GridExportOptions &options,
        ColumnChooser chooser);
    ~GridExportStream() override;

    bool Begin(const Statement &statement) override;
    bool Row(const Statement &statement) override;
    bool MayRepeat() const override { return false; } // the rows are out

    // After the statement ended well: writes what follows the rows and completes the file.
    // False with the error; a regular target file is then left as it was.
    bool Finish(QString &error);
    // Whether the stream stopped the run itself (a column it could not place, a failed write),
    // and why; otherwise a run that failed failed in the statement.
    bool Stopped() const { return !m_error.isEmpty(); }
    const QString &Error() const { return m_error; }
    const GridExportReport &Report() const { return m_report; }

private:
    GridExportFormat m_format;
    ExportFile &m_file;
    GridExportOptions m_options;
    ColumnChooser m_chooser;
    std::unique_ptr<GridExportWriter> m_writer;
    std::vector<int> m_fields; // the statement's column for each written one
    std::vector<FieldType> m_types; // its declared type
    std::vector<Cell> m_cells; // the statement's row
    std::vector<GridExportValue> m_values;
    GridExportReport m_report;
    QString m_error;
};
