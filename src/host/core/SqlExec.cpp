#include "host/core/SqlExec.h"

#include "host/db/dataset/FieldValues.h"
#include "host/db/engine/IsoDate.h"
#include "host/db/engine/Statement.h"

namespace SqlExec {

Value ToValue(const QString &text)
{
    return text.toStdString();
}

Value ToValue(qint64 number)
{
    return std::int64_t { number };
}

Value ToValue(const QDateTime &moment)
{
    if (!moment.isValid())
        return std::monostate {};
    return IsoDate::format(
        FieldValues::msFromDateTime(moment), FieldType::DateTime, IsoDate::Fraction::Always);
}

QString TextAt(const Statement &statement, int column)
{
    if (statement.isNull(column))
        return {};
    const std::string_view text = statement.asText(column);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QDateTime DateTimeAt(const Statement &statement, int column)
{
    const auto ms
        = statement.isNull(column) ? std::nullopt : IsoDate::parse(statement.asText(column));
    return ms ? FieldValues::dateTimeFromMs(*ms) : QDateTime();
}

} // namespace SqlExec
