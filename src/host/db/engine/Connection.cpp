#include "host/db/engine/Connection.h"

std::unique_ptr<Statement> Connection::prepareBound(
    std::string_view sql, std::span<const Value> values, DbError &error)
{
    std::unique_ptr<Statement> statement = prepare(sql);
    if (!statement) {
        error = lastError();
        return nullptr;
    }
    if (!statement->bindAll(values)) {
        error = statement->lastError();
        return nullptr;
    }
    return statement;
}

bool Connection::run(std::string_view sql, std::span<const Value> values, DbError &error)
{
    const std::unique_ptr<Statement> statement = prepareBound(sql, {}, error);
    return statement && statement->run(values, error);
}

bool Connection::forEachRow(std::string_view sql, std::span<const Value> values,
    const std::function<bool(const Statement &)> &row, DbError &error)
{
    const std::unique_ptr<Statement> statement = prepareBound(sql, values, error);
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

bool Connection::insertWithIdentity(std::string_view insertSql, std::span<const Value> values,
    std::string_view identityColumn, std::int64_t &id, DbError &error)
{
    id = 0;
    if (!run(insertSql, values, error))
        return false;
    id = lastInsertId();
    return true;
}
