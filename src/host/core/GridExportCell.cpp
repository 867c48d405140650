#include "host/core/GridExportCell.h"

#include "host/db/dataset/TQuillonDataSet.h"

#include <QLocale>

#include <cmath>

GridExportCell GridExportCell::Read(
    const TQuillonDataSet &data, int row, const GridExportBinding &column)
{
    GridExportCell cell;
    if (data.IsNullAt(row, column.field))
        return cell;
    switch (column.type) {
    case FieldType::Boolean:
        cell.kind = Bool;
        cell.integer = data.NumberAt(row, column.field) != 0;
        return cell;
    case FieldType::Float:
        cell.kind = Real;
        cell.real = data.NumberAt(row, column.field);
        return cell;
    default:
        break;
    }
    const QVariant value = data.ValueAt(row, column.field);
    switch (value.typeId()) {
    case QMetaType::Bool:
        cell.kind = Bool;
        cell.integer = value.toBool();
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        cell.kind = Int;
        cell.integer = value.toLongLong();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        cell.kind = Real;
        cell.real = value.toDouble();
        break;
    case QMetaType::QDate:
        cell.kind = Date;
        cell.stamp = QDateTime(value.toDate(), QTime(0, 0));
        break;
    case QMetaType::QTime:
        cell.kind = Time;
        cell.stamp = QDateTime(QDate(1899, 12, 31), value.toTime());
        break;
    case QMetaType::QDateTime:
        cell.kind = column.type == FieldType::Date ? Date : DateTime;
        cell.stamp = value.toDateTime();
        break;
    case QMetaType::QByteArray:
        cell.kind = Text;
        cell.text = QString::fromLatin1(value.toByteArray().toBase64());
        break;
    default:
        cell.kind = Text;
        cell.text = value.toString();
        break;
    }
    return cell;
}

QString GridExportCell::NumberText(double value)
{
    const double size = std::fabs(value);
    // Fixed notation reads best; exponents only where fixed would run to dozens of digits.
    if (size != 0 && (size >= 1e15 || size < 1e-6))
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString GridExportCell::PlainText(QChar separator) const
{
    switch (kind) {
    case Null:
        return {};
    case Bool:
        return integer ? QStringLiteral("True") : QStringLiteral("False");
    case Int:
        return QString::number(integer);
    case Real:
        return std::isfinite(real) ? NumberText(real) : QString();
    case Date:
        return stamp.date().toString(Qt::ISODate);
    case Time:
        return stamp.time().toString(QStringLiteral("HH:mm:ss"));
    case DateTime: {
        const QString time = stamp.time().toString(
            stamp.time().msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
        return stamp.date().toString(Qt::ISODate) + separator + time;
    }
    case Text:
        return text;
    }
    return {};
}
