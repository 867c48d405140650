#pragma once

#include <QString>

class SqliteConnection;

// Makes `_efnAgentPCSecurity(agentId)` available on a SQLite connection: a table-valued function
// with one column, idPayer, listing the payroll companies the agent may see (every row of
// _iptblPayerGroups when the agent's bAllPayrollCompanies is set, else its
// _rtblAgentPayerGroups rows). The tables are looked up by plain name, so the function also
// works on a connection to which the payroll database is attached.
bool RegisterAgentPCSecurity(SqliteConnection &connection, QString &error);
