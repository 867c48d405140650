#pragma once

class QString;

// Where sign-in checks a password: the store of the agents' credentials, which no connection
// that runs IQs can reach.
class PasswordVerifier
{
public:
    virtual ~PasswordVerifier() = default;
    // Whether `password` is the agent's. False with `error` set when the credentials cannot be
    // read; `error` stays empty otherwise.
    virtual bool Verify(int agentId, const QString &password, QString &error) const = 0;
};
