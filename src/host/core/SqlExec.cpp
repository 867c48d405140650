#include "host/core/SqlExec.h"

#include "host/db/engine/Connection.h"

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

static std::unique_ptr<Statement> PrepareBound(Connection &connection, std::string_view sql,
    std::initializer_list<Value> values, DbError &error)
{
    std::unique_ptr<Statement> statement = connection.prepare(sql);
    if (!statement) {
        error = connection.lastError();
        return nullptr;
    }
    int index = 1;
    for (const Value &value : values) {
        if (!statement->bind(index++, value)) {
            error = statement->lastError();
            return nullptr;
        }
    }
    return statement;
}

bool Run(Connection &connection, std::string_view sql, std::initializer_list<Value> values,
    DbError &error)
{
    std::unique_ptr<Statement> statement = PrepareBound(connection, sql, values, error);
    if (!statement)
        return false;
    Statement::Step step;
    while ((step = statement->step()) == Statement::Step::Row) { }
    if (step == Statement::Step::Error) {
        error = statement->lastError();
        return false;
    }
    return true;
}

bool ForEachRow(Connection &connection, std::string_view sql, std::initializer_list<Value> values,
    const std::function<bool(const Statement &)> &row, DbError &error)
{
    std::unique_ptr<Statement> statement = PrepareBound(connection, sql, values, error);
    if (!statement)
        return false;
    for (;;) {
        switch (statement->step()) {
        case Statement::Step::Row:
            if (!row(*statement))
                return true;
            break;
        case Statement::Step::Done:
            return true;
        case Statement::Step::Error:
            error = statement->lastError();
            return false;
        }
    }
}

} // namespace SqlExec
