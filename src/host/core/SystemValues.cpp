#include "host/core/SystemValues.h"

#include "host/core/HostContext.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"

#include <cstdio>
#include <optional>

QString GetCurrentSystemValue(const QString &name, const QString &defaultValue, bool createMissing)
{
    Connection *connection = CommonConnection();
    if (!connection)
        return defaultValue;
    std::optional<QString> stored;
    DbError error;
    connection->forEachRow(
        "select cValue from _btblSystemValues where cName = ?", { SqlExec::ToValue(name) },
        [&](const Statement &row) {
            stored = SqlExec::TextAt(row, 0);
            return false;
        },
        error);
    if (stored)
        return *stored;
    if (createMissing)
        SetCurrentSystemValue(name, defaultValue);
    return defaultValue;
}

bool SetCurrentSystemValue(const QString &name, const QString &value)
{
    Connection *connection = CommonConnection();
    if (!connection)
        return false;
    Transaction transaction(*connection);
    QString error;
    if (!transaction.started() || !WriteSystemValue(*connection, name, value, QString(), error)
        || !transaction.commit()) {
        fprintf(stderr, "system value %s not written: %s\n", qPrintable(name),
            qPrintable(
                error.isEmpty() ? QString::fromStdString(connection->lastError().text) : error));
        return false;
    }
    return true;
}

bool WriteSystemValue(Connection &connection, const QString &name, const QString &value,
    const QString &description, QString &error)
{
    DbError dbError;
    // Update first and insert when nothing was there: plain statements every engine runs.
    bool ok = description.isNull()
        ? connection.run("update _btblSystemValues set cValue = ? where cName = ?",
            { SqlExec::ToValue(value), SqlExec::ToValue(name) }, dbError)
        : connection.run(
            "update _btblSystemValues set cValue = ?, cDescription = ? where cName = ?",
            { SqlExec::ToValue(value), SqlExec::ToValue(description), SqlExec::ToValue(name) },
            dbError);
    if (ok && connection.changes() == 0) {
        ok = connection.run(
            "insert into _btblSystemValues (cName, cValue, cDescription) values (?, ?, ?)",
            { SqlExec::ToValue(name), SqlExec::ToValue(value), SqlExec::ToValue(description) },
            dbError);
    }
    if (!ok)
        error = QString::fromStdString(dbError.text);
    return ok;
}
