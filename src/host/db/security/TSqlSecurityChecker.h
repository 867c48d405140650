#pragma once

#include <QString>

#include <string>
#include <vector>

class Connection;

// The host's gate in front of every IQ statement: a report may read, nothing more. Created for
// one check and dropped afterwards. The check compiles the statement and never runs it.
//
// SecurityCheckSuccessful refuses a statement that
//   - would write or change the schema (the engine's read-only test of the compiled statement),
//   - holds a second statement: anything but blanks, ";" and comments after the first one,
//   - on SQLite, does anything the guard refuses while it compiles: ATTACH, DETACH,
//     transactions, savepoints, pragmas other than a few that only report, functions outside
//     its list, and reads of the agents' password hashes (see SqliteSecurityGuard). A report
//     connection's own guard is used; any other connection gets one for the check only,
//   - on engines without an authorizer, names cPasswordHash, or names _rtblAgents together with
//     a "*" (coarse, but on the safe side).
// A statement that does not compile passes: the server reports the fault when the IQ runs, and
// nothing can have run.
//
// SecurityPasswordColumnCheck returns the statement to run. Password hashes are refused above
// rather than masked, so the statement comes back unchanged.
class TSqlSecurityChecker
{
public:
    // With `columns`: the result columns' names of the statement compiled for the check, so that
    // one compile serves both (the editor's column discovery); empty when it does not compile.
    bool SecurityCheckSuccessful(
        Connection &connection, const QString &sql, std::vector<std::string> *columns = nullptr);
    QString SecurityPasswordColumnCheck(const QString &sql) const { return sql; }

    // Why the last check refused, in a few words (for logs and the command-line tool).
    const QString &RefusalReason() const { return m_reason; }

private:
    bool refuse(const QString &reason);
    QString m_reason;
};
