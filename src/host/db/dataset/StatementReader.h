#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/Value.h"

#include <atomic>
#include <string>
#include <vector>

class Connection;
class RowReceiver;

// What a run of one statement needs; a copy, so that a worker thread reads nothing its caller
// may change meanwhile.
struct StatementRun
{
    std::string sql;
    std::vector<Value> parameters; // bound to the statement's "?" in order
    int timeoutSeconds = 0; // 0: none
    int retryCount = 1; // attempts in all, at least one
};

// The one loop that steps a statement and hands its rows to a receiver: an open into the column
// store, the export of `corvane-iq run` and the result window's background load all read through
// it. It sets the connection's command time-out for the call and restores it afterwards. An
// attempt that fails because another connection holds the database is made again (see
// TQuillonADOQuery). `stop`, when given, is checked before each row or batch of rows
// (RowReceiver::Next): once set the run ends as cancelled. False with `error`, or with no error
// text when the receiver stopped the run.
bool ReadStatement(Connection &connection, const StatementRun &run, RowReceiver &receiver,
    DbError &error, const std::atomic<bool> *stop = nullptr);
