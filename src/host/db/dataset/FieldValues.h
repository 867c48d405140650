#pragma once

#include "host/db/engine/FieldType.h"
#include "host/db/engine/Value.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <optional>

class ResultColumn;

// Conversions at the edge between Qt (what windows and TField see) and the engine values.
struct FieldValues
{
    // One stored cell as a QVariant: bool, qlonglong, double, QDate/QTime/QDateTime, QString or
    // QByteArray; an invalid QVariant for NULL.
    static QVariant variantAt(const ResultColumn &column, std::size_t row);
    // A value typed by a person or a window, converted for a field of the given type (dates to
    // ISO text). nullopt when it does not fit, with `error` naming the value and the field.
    static std::optional<Value> toValue(
        const QVariant &value, FieldType type, const QString &fieldName, QString &error);
    // A bound parameter from a QVariant of any type (no field type to follow).
    static Value toValue(const QVariant &value);
    static QVariant toVariant(const Value &value, FieldType type);
    static QDateTime dateTimeFromMs(std::int64_t ms);
    static std::int64_t msFromDateTime(const QDateTime &value);
};
