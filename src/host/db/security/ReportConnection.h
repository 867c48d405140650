#pragma once

#include <string>

class SqliteConnection;

// Turns a connection opened read-only into one that runs IQ statements and nothing else:
// - it cannot write: the file is open read-only and "PRAGMA query_only" is on;
// - the engine's riskier features are off (defensive mode, untrusted schema, no extensions, no
//   full-text tokenizer by address), and of the virtual table modules only json_each, json_tree
//   and those named in `keepModules` remain (dbstat, sqlite_stmt ... are gone);
// - a SqliteSecurityGuard answers for every statement it compiles, also while one runs.
// Call it last, after attaching and registering the modules the reports use. False with `error`
// when the engine refuses a setting; the connection must not be used for reports then.
bool LockForReports(SqliteConnection &connection, std::initializer_list<const char *> keepModules,
    std::string &error);
