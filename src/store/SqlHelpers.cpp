#include "store/SqlHelpers.h"

#include "host/db/engine/Connection.h"

std::optional<std::int64_t> QueryInt(Connection &connection, std::string_view sql,
    std::initializer_list<Value> values, DbError &error)
{
    std::int64_t result = 0;
    const bool ok = connection.forEachRow(
        sql, values,
        [&](const Statement &row) {
            result = row.isNull(0) ? 0 : row.asInt64(0);
            return false;
        },
        error);
    return ok ? std::optional<std::int64_t>(result) : std::nullopt;
}

QString ErrorText(const DbError &error)
{
    return QString::fromStdString(error.text);
}

QString FileErrorText(const QString &fileName, const DbError &error)
{
    // SQLite's primary result codes; extended codes carry them in the low byte.
    enum { Perm = 3, Busy = 5, Locked = 6, IoErr = 10, Corrupt = 11, CantOpen = 14, NotADb = 26 };
    switch (error.nativeCode & 0xff) {
    case Busy:
    case Locked:
        return QStringLiteral("The database file \"%1\" is locked by another program.")
            .arg(fileName);
    case NotADb:
        return QStringLiteral("The file \"%1\" is not a database.").arg(fileName);
    case Corrupt:
        return QStringLiteral("The database file \"%1\" is damaged: %2")
            .arg(fileName, ErrorText(error));
    case Perm:
    case IoErr:
    case CantOpen:
        return QStringLiteral("The database file \"%1\" cannot be read: %2")
            .arg(fileName, ErrorText(error));
    default:
        return QStringLiteral("The database file \"%1\" cannot be used: %2")
            .arg(fileName, ErrorText(error));
    }
}
