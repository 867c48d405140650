#pragma once

// Decides, for each action SQLite is about to compile into a statement, whether it may (see
// sqlite3_set_authorizer: the action code, two action arguments, the database and the innermost
// trigger or view). SQLite also asks while a statement runs when the statement compiles SQL of
// its own (the table-valued pragmas do), which is why a connection keeps its authorizer.
class SqliteAuthorizer
{
public:
    virtual ~SqliteAuthorizer() = default;
    // SQLITE_OK, SQLITE_DENY (the statement fails) or SQLITE_IGNORE.
    virtual int authorize(
        int action, const char *arg1, const char *arg2, const char *database, const char *trigger)
        = 0;
};
