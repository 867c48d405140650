#pragma once

#include <optional>

class QString;

// Where sign-in checks a password: the store of the agents' credentials, which no connection
// that runs IQs can reach.
class PasswordVerifier
{
public:
    virtual ~PasswordVerifier() = default;
    // Whether `password` is the agent's. No agent (nullopt: no agent of that name) or no stored
    // hash takes as long as a wrong password, so the time tells a guesser nothing. False with
    // `error` set when the credentials cannot be read; `error` stays empty otherwise.
    virtual bool Verify(
        std::optional<int> agentId, const QString &password, QString &error) const = 0;
};
