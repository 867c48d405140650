#include "store/CredentialStore.h"

#include "host/core/Agent.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/SqliteConnection.h"
#include "store/DatabaseFile.h"
#include "store/SqlHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

CredentialStore::CredentialStore(const QString &payrollFile)
{
    const QFileInfo payroll(payrollFile);
    m_file = payroll.dir().filePath(payroll.completeBaseName() + QStringLiteral(".agents.db"));
}

QString CredentialStore::MissingText() const
{
    return QStringLiteral("The agents' credentials file \"%1\" does not exist.").arg(m_file);
}

bool CredentialStore::Ensure(bool create, bool &created, QString &error) const
{
    created = false;
    if (!create && !QFileInfo::exists(m_file)) {
        error = MissingText();
        return false;
    }
    DatabaseFile opened;
    bool ok = OpenDatabaseFile(m_file, DatabaseKind::Credentials, create, opened, error);
    // Before the first hash goes in; SQLite gives its journals the file's own permissions.
    if (ok && opened.created
        && !QFile::setPermissions(m_file, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        error = QStringLiteral("The agents' credentials file \"%1\" cannot be made private.")
                    .arg(m_file);
        ok = false;
    }
    ok = ok && EnsureSchema(*opened.connection, DatabaseKind::Credentials, error);
    if (!ok) {
        opened.Discard();
        return false;
    }
    created = opened.created;
    return true;
}

bool CredentialStore::Verify(
    std::optional<int> agentId, const QString &password, QString &error) const
{
    error.clear();
    if (!QFileInfo::exists(m_file)) {
        error = MissingText();
        return false;
    }
    DbError dbError;
    const auto connection = SqliteConnection::open(
        m_file.toStdString(), SqliteConnection::OpenMode::ReadOnly, dbError);
    if (!connection) {
        error = FileErrorText(m_file, dbError);
        return false;
    }
    if (!CheckSchema(*connection, DatabaseKind::Credentials, error))
        return false;
    QString hash;
    if (!ReadHash(*connection, "_rtblAgentCredentials", agentId, hash, dbError)) {
        error = FileErrorText(m_file, dbError);
        return false;
    }
    return VerifyPassword(hash, password);
}

bool CredentialStore::SetPassword(
    int agentId, const QString &password, bool fastHashing, QString &error) const
{
    DbError dbError;
    const auto connection = SqliteConnection::open(
        m_file.toStdString(), SqliteConnection::OpenMode::ReadWrite, dbError);
    if (!connection) {
        error = QFileInfo::exists(m_file) ? FileErrorText(m_file, dbError) : MissingText();
        return false;
    }
    if (!CheckSchema(*connection, DatabaseKind::Credentials, error))
        return false;
    Transaction transaction(*connection);
    if (!transaction.started()
        || !WriteHash(*connection, "main", agentId, password, fastHashing, dbError)
        || !transaction.commit()) {
        error = FileErrorText(m_file, dbError.isSet() ? dbError : connection->lastError());
        return false;
    }
    return true;
}

bool CredentialStore::ReadHash(Connection &connection, const std::string &table,
    std::optional<int> agentId, QString &hash, DbError &error)
{
    hash.clear();
    return connection.forEachRow(
        "SELECT cPasswordHash FROM " + table + " WHERE iAgentID = ?",
        { std::int64_t { agentId.value_or(0) } },
        [&](const Statement &row) {
            hash = agentId ? SqlExec::TextAt(row, 0) : QString();
            return false;
        },
        error);
}

bool CredentialStore::WriteHash(Connection &connection, const char *schema, int agentId,
    const QString &password, bool fastHashing, DbError &error)
{
    const QString hash = HashPassword(password, fastHashing);
    if (hash.isEmpty()) {
        error.text = "The password of agent " + std::to_string(agentId) + " could not be hashed.";
        return false;
    }
    return connection.run("INSERT OR REPLACE INTO " + std::string(schema)
            + "._rtblAgentCredentials (iAgentID, cPasswordHash) VALUES (?, ?)",
        { std::int64_t { agentId }, hash.toStdString() }, error);
}
