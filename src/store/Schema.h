#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

class Connection;

// The databases the host works with: payroll and common, and the agents' credentials kept apart
// from both (see CredentialStore). Each file carries its kind in PRAGMA application_id and its
// schema version in PRAGMA user_version.
enum class DatabaseKind { Payroll, Common, Credentials };

inline constexpr std::int32_t kPayrollApplicationId = 0x43525059; // "CRPY"
inline constexpr std::int32_t kCommonApplicationId = 0x4352434d; // "CRCM"
inline constexpr std::int32_t kCredentialsApplicationId = 0x43524147; // "CRAG"

// One step of a database's history: the script that brings version - 1 to version.
// Steps keep every row a user wrote: they add tables, columns, indexes and seed rows, and drop a
// column only after moving its values elsewhere.
struct SchemaStep
{
    int version;
    const char *script;
    // The script also writes the credentials file, attached as "credentials", in the same
    // transaction.
    bool reachesCredentials = false;
    // Asked inside the upgrade's transaction before the script runs: why the rows found cannot
    // take this step (the upgrade is then refused unchanged), or empty.
    QString (*refusal)(Connection &connection, const QString &file) = nullptr;
};

std::span<const SchemaStep> PayrollSchemaSteps();
std::span<const SchemaStep> CommonSchemaSteps();
std::span<const SchemaStep> CredentialsSchemaSteps();
std::span<const SchemaStep> SchemaSteps(DatabaseKind kind);
int CurrentSchemaVersion(DatabaseKind kind);
std::int32_t ApplicationId(DatabaseKind kind);
QString DatabaseKindName(DatabaseKind kind); // "payroll", "common", "credentials"

// Whether the database is ours (or still empty) and not newer than this program, without writing.
// The schema version found (0 for an empty database), or nullopt and a text naming the file.
std::optional<int> CheckSchema(Connection &connection, DatabaseKind kind, QString &error);

// Creates the schema in an empty database or upgrades an older one, step by step, in one
// transaction; on any failure nothing is changed (a credentials file made for the steps that
// reach it is removed again). A database that belongs to something else
// (another application id, or tables without one) or to a newer program is refused with a
// text naming the file. targetVersion 0 means the current version; tests pass an older one to
// build a database as an earlier program left it.
bool EnsureSchema(Connection &connection, DatabaseKind kind, QString &error, int targetVersion = 0);
