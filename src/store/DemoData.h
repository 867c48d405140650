#pragma once

#include <QString>

#include <cstdint>

class Connection;

struct DemoOptions
{
    int employees = 2000;
    int payslipsPerEmployee = 12;
    std::uint32_t seed = 20240131; // the same seed always writes the same rows
    // The smallest Argon2id limits for the agents' passwords: for tests, never for real use.
    bool fastPasswordHashing = false;
};

// Fills new payroll and common databases (schema already in place) with a demo installation:
// three payroll companies, their employees and payslip history, the agents "admin", "clerk",
// "viewer" and "guest" (password = name, kept in the payroll file's credentials file), IQ
// definitions with parameters, columns and a note, and the common reference data. Refuses
// databases that already hold such rows. The payroll and credentials files are written in one
// transaction, the common file in another; on failure nothing is kept and `error` says why.
// On a server (schema made by init; the hashes in its _rtblAgentCredentials) the administrator
// init made takes the place of "admin", which is not written there.
bool CreateDemoData(
    Connection &payroll, Connection &common, const DemoOptions &options, QString &error);
