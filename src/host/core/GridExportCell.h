#pragma once

#include "host/core/GridExport.h"
#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/FieldType.h"

#include <QChar>
#include <QDateTime>
#include <QString>

// A column of an export resolved against the dataset once, before the rows are written.
struct GridExportBinding
{
    int field;
    FieldType type;
    QString caption;
};

// One cell as the export formats see it: read when it is written, never kept.
struct GridExportCell
{
    enum Kind { Null, Bool, Int, Real, Date, Time, DateTime, Text } kind = Null;
    qint64 integer = 0;
    double real = 0;
    QDateTime stamp;
    QString text;

    static GridExportCell Read(
        const TQuillonDataSet &data, int row, const GridExportBinding &column);
    // Numbers in C notation, dates in ISO form with `separator` between date and time, booleans
    // as True/False, NULL as the empty text.
    QString PlainText(QChar separator = QLatin1Char(' ')) const;
    bool IsNumber() const { return kind == Int || kind == Real; }
    static QString NumberText(double value);
};

// The rows of an export in order: the given ones, else every record passing the filter.
template <typename EachRow>
void ForEachExportRow(const TQuillonDataSet &data, const GridExportOptions &options, EachRow each)
{
    if (options.rows) {
        for (const int row : *options.rows)
            each(row);
        return;
    }
    const int count = data.RecordCount();
    for (int record = 0; record < count; ++record)
        each(data.RowOfRecord(record));
}
