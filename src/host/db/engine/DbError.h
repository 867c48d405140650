#pragma once

#include <string>

// What a failed database call leaves behind; the caller decides what the person sees.
struct DbError
{
    std::string text; // UTF-8, the engine's own words
    int nativeCode = 0; // engine error code (SQLite result code, ODBC native error)
    std::string sqlState; // five characters where the engine has them ("HYT00" for a time-out)
    // Another connection held the database (busy, locked, deadlock victim): trying again may work.
    bool transient = false;

    bool isSet() const { return !text.empty() || nativeCode != 0; }
    void clear() { *this = DbError {}; }
    // A command time-out: the text begins with "Query timeout expired" in any letter case.
    bool isTimeout() const;
    // The statement was stopped by Connection::cancel (SQLSTATE HY008, "operation canceled").
    bool isCancelled() const { return sqlState == "HY008"; }
};

// Text every engine uses for an expired command time-out, as SQL Server's driver words it.
inline constexpr const char *kQueryTimeoutText = "Query timeout expired";

// Text of a statement stopped at the person's request.
inline constexpr const char *kCancelledText = "The statement was cancelled.";
