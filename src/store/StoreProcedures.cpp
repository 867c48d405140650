#include "store/StoreProcedures.h"

#include "host/db/dataset/ProcParams.h"
#include "host/db/dataset/TQuillonADOStoredProc.h"
#include "host/db/engine/Connection.h"

void RegisterStoreProcedures()
{
    TQuillonADOStoredProc::RegisterProcedure(
        QStringLiteral("_ipspDeleteEasyEnquiry"), DeleteEasyEnquiry);
}

bool DeleteEasyEnquiry(
    Connection &connection, const ProcParams &params, int &returnValue, DbError &error)
{
    const auto number = params.IntegerOf(QStringLiteral("@EasyEnquiryID"));
    const Value id = number ? Value { *number } : Value {};
    const char *const statements[] = {
        "DELETE FROM _iptblEasyEnquiryParam WHERE iEnquiryID = ?",
        "DELETE FROM _iptblEasyEnquiryColumn WHERE iEnquiryID = ?",
        "DELETE FROM _btblNotes WHERE fNOTETBLTableID = ? AND cNOTETBLTableName IN "
        "('_IPTBLEASYENQUIRY', '_iptbleasyenquiry')",
        "DELETE FROM _iptblEasyEnquiry WHERE idEnquiry = ?",
    };
    // One transaction: a failure half-way must not leave an IQ without its parameters.
    Transaction transaction(connection);
    if (!transaction.started()) {
        error = connection.lastError();
        return false;
    }
    for (const char *sql : statements) {
        if (!connection.run(sql, { id }, error))
            return false;
    }
    if (!transaction.commit()) {
        error = connection.lastError();
        return false;
    }
    returnValue = 0;
    return true;
}
