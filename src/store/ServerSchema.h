#pragma once

#include "store/Schema.h"

#include <QString>

#include <string>
#include <vector>

class Connection;

// The schema on a PostgreSQL server, reached through ODBC. The tables and the view are written
// from the table definitions (SchemaDefinition.h) that the SQLite files are checked against;
// the agent filter and the delete procedure are the server's own. They live in a schema "dbo"
// (so IQ statements written with "dbo." and "[dbo].[name]" run unchanged) that the database's
// search path puts first. Names are unquoted: the server folds them, as it folds the names of
// IQ statements.
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

// What CreateReportRole and CreateServerSchema run, statement by statement: also the kept script.
// `role` as for CreateServerSchema.
std::vector<std::string> PostgresRoleStatements(const std::string &role);
std::vector<std::string> PostgresSchemaStatements(DatabaseKind kind, const std::string &role);
