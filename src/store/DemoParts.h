#pragma once

#include "host/db/engine/DbError.h"

#include <QString>

#include <cstdint>
#include <functional>

class Connection;
struct DemoOptions;

// The pieces CreateDemoData writes, each inside the caller's transaction.

// Payroll companies, pay frequencies, locations, departments and IQ types.
bool WriteDemoLookups(Connection &payroll, DbError &error);
// Stores an agent's password hash wherever the engine keeps them.
using DemoPasswordWriter
    = std::function<bool(int agentId, const QString &password, bool fastHashing, DbError &error)>;
// "admin" (unless `withAdministrator` is false), "clerk", "viewer" and "guest" with their rights
// and data-security rows, numbered by the engine; their passwords go through `setPassword`.
bool WriteDemoAgents(Connection &payroll, const DemoPasswordWriter &setPassword,
    bool withAdministrator, bool fastHashing, DbError &error);
// The IQ definitions with their parameters, columns and notes.
bool WriteDemoEnquiries(Connection &payroll, DbError &error);
// Employees and their payslip history.
bool WriteDemoPayroll(Connection &payroll, const DemoOptions &options, DbError &error);
// Public holidays and tax scales of the common database.
bool WriteDemoCommonData(Connection &common, DbError &error);

// Annual income tax of the demo tax scale (the same bands as _btblTaxScales).
double DemoAnnualTax(double annualIncome);
