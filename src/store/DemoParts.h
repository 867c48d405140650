#pragma once

#include "host/db/engine/DbError.h"

#include <cstdint>

class Connection;
class CredentialsAttachment;
struct DemoOptions;

// The pieces CreateDemoData writes, each inside the caller's transaction.

// Payroll companies, pay frequencies, locations, departments and IQ types.
bool WriteDemoLookups(Connection &payroll, DbError &error);
// "admin", "clerk", "viewer" and "guest" with their rights and data-security rows; their
// passwords go to the attached credentials file.
bool WriteDemoAgents(
    Connection &payroll, CredentialsAttachment &credentials, bool fastHashing, DbError &error);
// The IQ definitions with their parameters, columns and notes.
bool WriteDemoEnquiries(Connection &payroll, DbError &error);
// Employees and their payslip history.
bool WriteDemoPayroll(Connection &payroll, const DemoOptions &options, DbError &error);
// Public holidays and tax scales of the common database.
bool WriteDemoCommonData(Connection &common, DbError &error);

// Annual income tax of the demo tax scale (the same bands as _btblTaxScales).
double DemoAnnualTax(double annualIncome);
