#pragma once

#include "store/Schema.h"

#include <QString>

class Connection;

// The schema on a PostgreSQL server, reached through ODBC. The tables, the view, the agent
// filter and the delete procedure are those of the SQLite files at their current version, in
// a schema "dbo" (so IQ statements written with "dbo." and "[dbo].[name]" run unchanged) that
// the database's search path puts first. Names are unquoted: the server folds them, as it folds
// the names of IQ statements. Bit columns are smallint (IQ statements compare them with 0 and
// 1), dates are timestamps, keys the engine assigns are serial. A test checks every table and
// column against the SQLite schema, so the two cannot drift.
//
// Payroll also holds the agents' password hashes (_rtblAgentCredentials), which the report role
// may not read. The report role is a login that may only read: SELECT on the tables and the view
// of dbo, and every transaction read-only (default_transaction_read_only), so a write that the
// statement checks miss is still refused by the server.
//
// Created only on request (corvane-iq init), in one transaction (a savepoint inside the
// caller's): on any failure nothing is changed. Refused when the database already holds that
// kind's schema. `reportRole` is a plain lower-case name (letters, digits, "_") that
// CreateReportRole made.
bool CreateServerSchema(
    Connection &connection, DatabaseKind kind, const QString &reportRole, QString &error);

// The report role, when the server does not know it yet, and its settings: a login whose
// transactions are read-only and whose names resolve in dbo. Roles belong to the whole server,
// so this runs (and commits) on its own, before the schemas that grant to it.
bool CreateReportRole(Connection &connection, const QString &reportRole, QString &error);

// The schema version a server database holds for `kind`: 0 when it has none, nullopt (and
// `error`) when it cannot be read.
std::optional<int> ServerSchemaVersion(Connection &connection, DatabaseKind kind, QString &error);
