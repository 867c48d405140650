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

    // The ODBC connection string of an "odbc:" name: a bare name is a DSN.
    static std::string connectionString(std::string_view name);
    // The same "odbc:" name signing in as `user` (with `password` when not empty) instead of the
    // login it names: its UID and PWD (and their other spellings) are replaced.
    static std::string withLogin(
        std::string_view name, std::string_view user, std::string_view password);
    // The name as it may be shown or logged: a password in it is replaced by "***".
    static std::string displayName(std::string_view name);
};
