#pragma once

#include <QSet>
#include <QString>

class Connection;
class PasswordVerifier;

// The signed-in person (an agent) with the rights the package asks about.
class TAgent
{
public:
    int idAgents = 0;
    QString cAgentName;
    bool bAdministrator = false;
    bool bAllPayrollCompanies = false;
    bool bAllPayFrequencies = false;
    bool bAllLocations = false;
    QSet<int> functions; // function ids granted in _rtblAgentFunctions

    int AgentID() const { return idAgents; }
    QString AgentName() const { return cAgentName; }
    bool IsAdministrator() const { return bAdministrator; }
    bool AllPayrollCompanies() const { return bAllPayrollCompanies; }
    bool AllPayFrequencies() const { return bAllPayFrequencies; }
    bool AllLocations() const { return bAllLocations; }
    // Administrators may use every function.
    bool HasAccessToFunction(int functionId) const
    {
        return bAdministrator || functions.contains(functionId);
    }
};

// nullptr while nobody is signed in.
TAgent *CurrentAgent();
// False while nobody is signed in.
bool hasAccessToFunction(int functionId);

// Finds the agent by name (any letter case) in _rtblAgents of `payroll`, checks the password with
// `credentials` and makes the agent current. On failure `error` is the text to show and the
// current agent is unchanged.
bool SignIn(Connection &payroll, const PasswordVerifier &credentials, const QString &name,
    const QString &password, QString &error);
void SignOut();

// An Argon2id hash in libsodium's string form. `fast` uses the smallest limits (tests, demo data).
QString HashPassword(const QString &password, bool fast = false);
// An empty hash (no such agent, or none stored) is checked against a dummy hash of the real cost
// and fails, so that it takes as long as a wrong password.
bool VerifyPassword(const QString &hash, const QString &password);
