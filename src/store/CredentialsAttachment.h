#pragma once

#include <QString>

class Connection;
struct DbError;

// The credentials file of a payroll connection's database, attached to that connection as
// "credentials" while this object lives, so that one transaction changes both files: an upgrade
// that moves the password hashes, the demo writer adding its agents. Only on a connection that
// runs no IQ meanwhile.
class CredentialsAttachment
{
public:
    explicit CredentialsAttachment(Connection &payroll);
    ~CredentialsAttachment(); // detaches, and removes a file Attach made unless it was kept
    CredentialsAttachment(const CredentialsAttachment &) = delete;
    CredentialsAttachment &operator=(const CredentialsAttachment &) = delete;

    // Outside a transaction; `create` makes the file when it is missing. False with a one-line
    // error naming the file.
    bool Attach(bool create, QString &error);
    // The work succeeded: a file Attach made stays.
    void Keep() { m_created = false; }
    // A new hash for the agent, inside the caller's transaction.
    bool SetPassword(int agentId, const QString &password, bool fastHashing, DbError &error);

private:
    Connection &m_payroll;
    QString m_file;
    bool m_attached = false;
    bool m_created = false;
};
