#include "host/db/security/SqliteSecurityGuard.h"

#include "host/db/engine/NameFold.h"

#include <algorithm>
#include <string_view>

#include <sqlite3.h>

namespace {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::any_of(
        names.begin(), names.end(), [name](std::string_view n) { return NameFold::same(name, n); });
}

// Pragmas that only report; the first group takes no value, the second a table or index name.
bool readingPragma(std::string_view name, const char *argument)
{
    if (!argument)
        return oneOf(name,
            { "user_version", "application_id", "schema_version", "data_version", "page_count",
                "page_size", "freelist_count", "encoding", "table_list", "database_list",
                "collation_list", "function_list", "compile_options" });
    return oneOf(name,
        { "table_info", "table_xinfo", "index_list", "index_info", "index_xinfo",
            "foreign_key_list" });
}

std::string text(const char *value)
{
    return value ? std::string(value) : std::string();
}

} // namespace

SqliteSecurityGuard::SqliteSecurityGuard(sqlite3 *db)
    : m_db(db)
{
    sqlite3_set_authorizer(m_db, &SqliteSecurityGuard::authorize, this);
}

SqliteSecurityGuard::~SqliteSecurityGuard()
{
    sqlite3_set_authorizer(m_db, nullptr, nullptr);
}

int SqliteSecurityGuard::authorize(
    void *self, int action, const char *arg1, const char *arg2, const char *, const char *)
{
    return static_cast<SqliteSecurityGuard *>(self)->check(action, arg1, arg2);
}

int SqliteSecurityGuard::check(int action, const char *arg1, const char *arg2)
{
    std::string refusal;
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_READ:
        if (arg1 && arg2 && NameFold::same(arg1, "_rtblAgents")
            && NameFold::same(arg2, "cPasswordHash"))
            refusal = "reads the agents' password hashes";
        break;
    case SQLITE_FUNCTION:
        if (arg2 && NameFold::same(arg2, "load_extension"))
            refusal = "loads an extension";
        break;
    case SQLITE_PRAGMA:
        if (!arg1 || !readingPragma(arg1, arg2))
            refusal = "PRAGMA " + text(arg1);
        break;
    case SQLITE_UPDATE:
        // SQLite asks this while it sets up a table-valued function; a real update of the
        // schema table makes the statement writable, which the checker refuses on its own.
        if (arg1
            && (NameFold::same(arg1, "sqlite_master")
                || NameFold::same(arg1, "sqlite_temp_master")))
            return SQLITE_OK;
        refusal = "writes to " + text(arg1);
        break;
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        refusal = "controls a transaction";
        break;
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        refusal = "attaches or detaches a database";
        break;
    default:
        refusal = "changes the database";
        break;
    }
    if (refusal.empty())
        return SQLITE_OK;
    if (m_reason.empty())
        m_reason = refusal;
    return SQLITE_DENY;
}
