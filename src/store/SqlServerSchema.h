#pragma once

#include "store/Schema.h"

#include <string>
#include <vector>

// The schema on SQL Server, as a script of batches (each ends with "GO"): the tables and the view
// written from the table definitions, _efnAgentPCSecurity as an inline table-valued function,
// _ipspDeleteEasyEnquiry as a procedure, and the report role `role` (a plain lower-case name),
// which may SELECT from every table, the view and the function but not from the credentials,
// and may not call the procedure. One transaction: run with "sqlcmd -b", an error ends the
// script and the server rolls everything back. `kind` is payroll (with the credentials) or
// common.
std::vector<std::string> SqlServerSchemaBatches(DatabaseKind kind, const std::string &role);
