#pragma once

#include "store/Schema.h"
#include "store/SchemaDialect.h"

#include <QString>

#include <optional>
#include <string>

// The report role the kept server scripts grant to, as "corvane-iq init" makes it by default.
inline constexpr char kDefaultReportRole[] = "corvane_report";

// The whole script that makes one database on one engine, as kept in the repository's schema
// folder: one transaction, with a header that says how to apply it. Nullopt, with `error`, for
// the credentials on a server, which live in the payroll database there.
std::optional<std::string> SchemaScript(SchemaEngine engine, DatabaseKind kind, QString &error);

// "sqlite", "postgresql", "sqlserver".
QString SchemaEngineName(SchemaEngine engine);
std::optional<SchemaEngine> SchemaEngineNamed(const QString &name);
