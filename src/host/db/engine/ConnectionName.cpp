#include "host/db/engine/ConnectionName.h"

#include "host/db/engine/OdbcConnection.h"

#include <cctype>

bool ConnectionName::isOdbc(std::string_view name)
{
    if (name.size() < kOdbcPrefix.size())
        return false;
    for (std::size_t i = 0; i < kOdbcPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kOdbcPrefix[i])
            return false;
    }
    return true;
}

std::unique_ptr<Connection> ConnectionName::open(
    std::string_view name, SqliteConnection::OpenMode mode, DbError &error)
{
    if (!isOdbc(name))
        return SqliteConnection::open(std::string(name), mode, error);
    const std::string_view rest = name.substr(kOdbcPrefix.size());
    if (rest.find_first_not_of(" \t") == std::string_view::npos) {
        error = DbError { "The ODBC connection is empty: give a DSN (odbc:DSN=name) or a "
                          "connection string after \"odbc:\".",
            0, "08001" };
        return nullptr;
    }
    // A bare name is a DSN, as people write it.
    const std::string connection
        = rest.find('=') == std::string_view::npos ? "DSN=" + std::string(rest) : std::string(rest);
    return OdbcConnection::open(connection, error);
}
