#include "host/db/security/ReportConnection.h"

#include "host/db/engine/SqliteConnection.h"
#include "host/db/security/SqliteSecurityGuard.h"

#include <vector>

#include <sqlite3.h>

namespace {

// The longest text or blob a report may build: generous for any payroll value, and it keeps
// zeroblob() and printf() from taking the machine's memory.
constexpr int kMaxValueBytes = 64 * 1024 * 1024;

} // namespace

bool LockForReports(SqliteConnection &connection, std::initializer_list<const char *> keepModules,
    std::string &error)
{
    sqlite3 *db = connection.handle();
    if (!sqlite3_db_readonly(db, "main")) {
        error = "A report connection must be opened read-only.";
        return false;
    }
    struct Setting
    {
        int option;
        int value;
    };
    for (const Setting setting :
        { Setting { SQLITE_DBCONFIG_DEFENSIVE, 1 }, Setting { SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0 },
            Setting { SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0 },
            Setting { SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0 } }) {
        int now = -1;
        if (sqlite3_db_config(db, setting.option, setting.value, &now) != SQLITE_OK
            || now != setting.value) {
            error = "The database engine refused a setting of the report connection.";
            return false;
        }
    }
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);

    std::vector<const char *> keep { "json_each", "json_tree" };
    keep.insert(keep.end(), keepModules.begin(), keepModules.end());
    keep.push_back(nullptr);
    if (sqlite3_drop_modules(db, keep.data()) != SQLITE_OK
        || !connection.execute("PRAGMA query_only = ON")) {
        error = "The report connection could not be restricted: " + std::string(sqlite3_errmsg(db));
        return false;
    }
    connection.setAuthorizer(std::make_unique<SqliteSecurityGuard>());
    return true;
}
