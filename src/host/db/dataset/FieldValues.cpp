#include "host/db/dataset/FieldValues.h"

#include "host/db/dataset/ResultColumn.h"
#include "host/db/engine/IsoDate.h"

#include <cmath>

namespace {

bool isWholeNumberType(QMetaType::Type type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isRealType(QMetaType::Type type)
{
    return type == QMetaType::Double || type == QMetaType::Float;
}

std::string isoText(const QVariant &value, FieldType type)
{
    const auto metaType = static_cast<QMetaType::Type>(value.metaType().id());
    if (metaType == QMetaType::QDate) {
        const QDate date = value.toDate();
        return IsoDate::format(IsoDate::fromParts(date.year(), date.month(), date.day()),
            type == FieldType::Time ? FieldType::DateTime : type);
    }
    if (metaType == QMetaType::QTime) {
        const QTime time = value.toTime();
        return IsoDate::format(
            IsoDate::fromParts(1970, 1, 1, time.hour(), time.minute(), time.second(), time.msec()),
            FieldType::Time);
    }
    return IsoDate::format(FieldValues::msFromDateTime(value.toDateTime()),
        type == FieldType::Other ? FieldType::DateTime : type);
}

bool isDateVariant(const QVariant &value)
{
    const int id = value.metaType().id();
    return id == QMetaType::QDate || id == QMetaType::QTime || id == QMetaType::QDateTime;
}

} // namespace

QDateTime FieldValues::dateTimeFromMs(std::int64_t ms)
{
    int year, month, day, hour, minute, second, millisecond;
    IsoDate::toParts(ms, year, month, day, hour, minute, second, millisecond);
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, millisecond));
}

std::int64_t FieldValues::msFromDateTime(const QDateTime &value)
{
    const QDate date = value.date();
    const QTime time = value.time();
    return IsoDate::fromParts(date.year(), date.month(), date.day(), time.hour(), time.minute(),
        time.second(), time.msec());
}

QVariant FieldValues::variantAt(const ResultColumn &column, std::size_t row)
{
    if (column.storage() == ResultColumn::Storage::Pending || column.isNull(row))
        return QVariant();
    switch (column.storage()) {
    case ResultColumn::Storage::Integer:
        if (column.type() == FieldType::Boolean)
            return QVariant(column.integerAt(row) != 0);
        return QVariant(static_cast<qlonglong>(column.integerAt(row)));
    case ResultColumn::Storage::Real:
        return QVariant(column.realAt(row));
    case ResultColumn::Storage::Date: {
        const QDateTime value = dateTimeFromMs(column.integerAt(row));
        if (column.type() == FieldType::Time)
            return QVariant(value.time());
        if (column.type() == FieldType::Date && value.time() == QTime(0, 0))
            return QVariant(value.date());
        return QVariant(value);
    }
    case ResultColumn::Storage::Text: {
        const std::string_view text = column.textAt(row);
        return QVariant(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    case ResultColumn::Storage::Bytes: {
        const std::string_view bytes = column.textAt(row);
        return QVariant(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    case ResultColumn::Storage::Pending:
        break;
    }
    return QVariant();
}

QVariant FieldValues::toVariant(const Value &value, FieldType type)
{
    if (const auto *number = std::get_if<std::int64_t>(&value))
        return type == FieldType::Boolean ? QVariant(*number != 0)
                                          : QVariant(static_cast<qlonglong>(*number));
    if (const auto *real = std::get_if<double>(&value))
        return QVariant(*real);
    if (const auto *text = std::get_if<std::string>(&value)) {
        if (isDateType(type)) {
            if (const auto ms = IsoDate::parse(*text))
                return QVariant(dateTimeFromMs(*ms));
        }
        return QVariant(QString::fromStdString(*text));
    }
    if (const auto *blob = std::get_if<Blob>(&value)) {
        return QVariant(QByteArray(reinterpret_cast<const char *>(blob->bytes.data()),
            static_cast<qsizetype>(blob->bytes.size())));
    }
    return QVariant();
}

Value FieldValues::toValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return Value();
    const auto type = static_cast<QMetaType::Type>(value.metaType().id());
    if (type == QMetaType::Bool || isWholeNumberType(type))
        return Value(static_cast<std::int64_t>(value.toLongLong()));
    if (isRealType(type))
        return Value(value.toDouble());
    if (isDateVariant(value))
        return Value(isoText(value, FieldType::Other));
    if (type == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        Blob blob;
        blob.bytes.assign(bytes.begin(), bytes.end());
        return Value(std::move(blob));
    }
    return Value(value.toString().toStdString());
}

std::optional<Value> FieldValues::toValue(
    const QVariant &value, FieldType type, const QString &fieldName, QString &error)
{
    if (!value.isValid() || value.isNull())
        return Value();
    const auto metaType = static_cast<QMetaType::Type>(value.metaType().id());
    const bool whole = metaType == QMetaType::Bool || isWholeNumberType(metaType);
    const bool real = isRealType(metaType);
    const QString text = value.toString().trimmed();
    auto refuse = [&]() -> std::optional<Value> {
        error = QStringLiteral("Value \"%1\" is not valid for the field \"%2\".")
                    .arg(value.toString(), fieldName);
        return std::nullopt;
    };

    switch (type) {
    case FieldType::Boolean: {
        if (whole || real)
            return Value(std::int64_t(value.toDouble() != 0));
        const QString lower = text.toLower();
        if (lower == "true" || lower == "1" || lower == "yes")
            return Value(std::int64_t(1));
        if (lower == "false" || lower == "0" || lower == "no")
            return Value(std::int64_t(0));
        return refuse();
    }
    case FieldType::Integer: {
        if (whole)
            return Value(static_cast<std::int64_t>(value.toLongLong()));
        if (real) {
            const double number = value.toDouble();
            if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) < 9.2e18)
                return Value(static_cast<std::int64_t>(number));
            return refuse();
        }
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        return ok ? std::optional<Value>(Value(static_cast<std::int64_t>(number))) : refuse();
    }
    case FieldType::Float: {
        if (whole || real)
            return Value(value.toDouble());
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok && std::isfinite(number) ? std::optional<Value>(Value(number)) : refuse();
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        if (isDateVariant(value)) {
            if (metaType == QMetaType::QDateTime && !value.toDateTime().isValid())
                return refuse();
            return Value(isoText(value, type));
        }
        FieldType kind;
        const auto ms = IsoDate::parse(text.toStdString(), &kind);
        if (!ms)
            return refuse();
        return Value(IsoDate::format(*ms, kind == FieldType::Time ? FieldType::Time : type));
    }
    case FieldType::Blob: {
        const QByteArray bytes
            = metaType == QMetaType::QByteArray ? value.toByteArray() : value.toString().toUtf8();
        Blob blob;
        blob.bytes.assign(bytes.begin(), bytes.end());
        return Value(std::move(blob));
    }
    case FieldType::String:
    case FieldType::WideString:
    case FieldType::Memo:
        if (isDateVariant(value))
            return Value(isoText(value, FieldType::DateTime));
        if (metaType == QMetaType::QByteArray)
            return Value(value.toByteArray().toStdString());
        return Value(value.toString().toStdString());
    case FieldType::Other:
        break;
    }
    return toValue(value);
}
