#include "store/ServerCredentials.h"

#include "host/core/Agent.h"
#include "host/db/engine/Connection.h"
#include "store/CredentialStore.h"
#include "store/SqlHelpers.h"

#include <QString>

bool ServerCredentials::Verify(
    std::optional<int> agentId, const QString &password, QString &error) const
{
    error.clear();
    QString hash;
    DbError dbError;
    const bool read
        = CredentialStore::ReadHash(m_payroll, "dbo._rtblAgentCredentials", agentId, hash, dbError);
    if (!read) {
        error
            = QStringLiteral("The agents' credentials cannot be read: %1").arg(ErrorText(dbError));
        return false;
    }
    return VerifyPassword(hash, password);
}
