#include "host/core/SqlExec.h"

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
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toStdString();
}

QString TextAt(const Statement &statement, int column)
{
    if (statement.isNull(column))
        return {};
    const std::string_view text = statement.asText(column);
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace SqlExec
