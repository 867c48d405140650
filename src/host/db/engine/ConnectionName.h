#pragma once

#include "host/db/engine/SqliteConnection.h"

#include <memory>
#include <string>
#include <string_view>

// What the programs' --payroll and --common options name: a SQLite file, or a server as
// "odbc:" followed by a DSN ("odbc:DSN=payroll") or a whole ODBC connection string.
struct ConnectionName
{
    static constexpr std::string_view kOdbcPrefix = "odbc:";

    static bool isOdbc(std::string_view name);
    // nullptr and `error` when it cannot be opened. `mode` is for files; a server's rights are
    // its login's.
    static std::unique_ptr<Connection> open(
        std::string_view name, SqliteConnection::OpenMode mode, DbError &error);
};
