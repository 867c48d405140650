#pragma once

#include "host/core/PasswordVerifier.h"

class Connection;

// The agents' password hashes on a server: the payroll database's _rtblAgentCredentials, read
// through the program's own login. The report login that runs IQs has no right to that table.
class ServerCredentials final : public PasswordVerifier
{
public:
    explicit ServerCredentials(Connection &payroll)
        : m_payroll(payroll)
    {
    }

    bool Verify(std::optional<int> agentId, const QString &password, QString &error) const override;

private:
    Connection &m_payroll;
};
