#pragma once

#include "host/core/PasswordVerifier.h"

#include <QString>

#include <string>

class Connection;
struct DbError;

// Where the agents' password hashes are kept. On SQLite that is a file of its own beside the
// payroll database, "<payroll base name>.agents.db", readable by its owner only: the connections
// that run IQs never open it, so no statement, however it is built, reads a hash. Sign-in opens it
// read-only for one check; payroll upgrades, the demo writer and agent administration write it.
class CredentialStore final : public PasswordVerifier
{
public:
    explicit CredentialStore(const QString &payrollFile);
    const QString &File() const { return m_file; }

    // Brings the file up to date, making it (owner-only, with its schema) when it is missing and
    // `create` is set. `created` says whether the file is new, so that a caller whose work then
    // fails can remove it again.
    bool Ensure(bool create, bool &created, QString &error) const;

    bool Verify(std::optional<int> agentId, const QString &password, QString &error) const override;
    // A new hash of the password, replacing the agent's old one.
    bool SetPassword(int agentId, const QString &password, bool fastHashing, QString &error) const;
    // The same inside a transaction of `connection`, which reaches the file as `schema`.
    // `fastHashing` takes the smallest limits: for tests and demo data, never for real use.
    static bool WriteHash(Connection &connection, const char *schema, int agentId,
        const QString &password, bool fastHashing, DbError &error);

    // The stored hash of the agent (empty when there is none, or no agent) from `table` on
    // `connection`; false with `error` when it cannot be read.
    static bool ReadHash(Connection &connection, const std::string &table,
        std::optional<int> agentId, QString &hash, DbError &error);

private:
    QString MissingText() const;

    QString m_file;
};
