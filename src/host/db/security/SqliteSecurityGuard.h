#pragma once

#include <string>

struct sqlite3;

// Watches what SQLite compiles while the guard lives: an authorizer on the database handle that
// lets a report read and refuses everything else. Installed in the constructor and removed in
// the destructor, so no statement compiled later is affected.
//
// Allowed: SELECT, reading columns, functions (not load_extension), recursive common table
// expressions, a few pragmas that only report (user_version, table_info(t) ...), and SQLite's
// own bookkeeping update of sqlite_master when a table-valued function is first used (a real
// write there is refused by the read-only test of the statement itself).
// Refused: every write and schema change, ATTACH, DETACH, transactions and savepoints, other
// pragmas, and reading the agents' password hashes (_rtblAgents.cPasswordHash, also through
// "select *" and views, which SQLite expands to single columns before asking).
class SqliteSecurityGuard
{
public:
    explicit SqliteSecurityGuard(sqlite3 *db);
    ~SqliteSecurityGuard();
    SqliteSecurityGuard(const SqliteSecurityGuard &) = delete;
    SqliteSecurityGuard &operator=(const SqliteSecurityGuard &) = delete;

    bool denied() const { return !m_reason.empty(); }
    const std::string &reason() const { return m_reason; } // the first refusal, for the log

private:
    static int authorize(void *self, int action, const char *arg1, const char *arg2,
        const char *database, const char *trigger);
    int check(int action, const char *arg1, const char *arg2);

    sqlite3 *m_db;
    std::string m_reason;
};
