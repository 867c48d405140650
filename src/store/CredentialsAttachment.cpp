#include "store/CredentialsAttachment.h"

#include "host/db/engine/Connection.h"
#include "store/CredentialStore.h"
#include "store/SqlHelpers.h"

#include <QFile>

CredentialsAttachment::CredentialsAttachment(Connection &payroll)
    : m_payroll(payroll)
{
}

CredentialsAttachment::~CredentialsAttachment()
{
    if (m_attached)
        m_payroll.execute("DETACH DATABASE credentials");
    if (m_created)
        QFile::remove(m_file);
}

bool CredentialsAttachment::Attach(bool create, QString &error)
{
    const CredentialStore store(QString::fromStdString(m_payroll.fileName()));
    m_file = store.File();
    if (!store.Ensure(create, m_created, error))
        return false;
    DbError dbError;
    m_attached
        = m_payroll.run("ATTACH DATABASE ? AS credentials", { m_file.toStdString() }, dbError);
    if (!m_attached)
        error = FileErrorText(m_file, dbError);
    return m_attached;
}

bool CredentialsAttachment::SetPassword(
    int agentId, const QString &password, bool fastHashing, DbError &error)
{
    return CredentialStore::WriteHash(
        m_payroll, "credentials", agentId, password, fastHashing, error);
}
