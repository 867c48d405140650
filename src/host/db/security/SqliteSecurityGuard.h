#pragma once

#include "host/db/engine/SqliteAuthorizer.h"

#include <string>

// What a report may make SQLite do: read, nothing more. It answers the connection's authorizer
// and remembers the first refusal, so a checker can say why a statement failed.
//
// Allowed: SELECT, reading columns, recursive common table expressions, the functions of a
// fixed list (core scalar, aggregate, window, date and time, JSON, mathematical), a few pragmas
// that only report (user_version, table_info(t) ...), and SQLite's own bookkeeping update of
// sqlite_master when a table-valued function is first used.
// Refused: every write and schema change, ATTACH, DETACH, transactions and savepoints, other
// pragmas (also as table-valued pragma_* functions: SQLite asks about the pragma when such a
// statement runs, so a connection keeps its guard installed), any other function
// (load_extension, fts3_tokenizer ...), and reading the agents' password hashes
// (_rtblAgents.cPasswordHash) for databases that still hold them.
class SqliteSecurityGuard final : public SqliteAuthorizer
{
public:
    int authorize(int action, const char *arg1, const char *arg2, const char *database,
        const char *trigger) override;

    bool denied() const { return !m_reason.empty(); }
    const std::string &reason() const { return m_reason; } // the first refusal, for the log
    void clear() { m_reason.clear(); }

private:
    std::string m_reason;
};
