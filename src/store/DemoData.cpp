#include "store/DemoData.h"

#include "host/db/engine/Connection.h"
#include "store/CredentialsAttachment.h"
#include "store/DemoParts.h"
#include "store/SqlHelpers.h"

namespace {

// Demo rows only go into databases that hold none of their kind, so nobody's data is mixed with
// or overwritten by invented rows.
bool IsEmpty(Connection &connection, const char *sql, const char *kind, QString &error)
{
    DbError dbError;
    const auto rows = QueryInt(connection, sql, {}, dbError);
    if (!rows) {
        error = QStringLiteral("The %1 database \"%2\" cannot take demo data: %3")
                    .arg(QLatin1String(kind), QString::fromStdString(connection.fileName()),
                        ErrorText(dbError));
        return false;
    }
    if (*rows > 0) {
        error = QStringLiteral("The %1 database \"%2\" already holds data; demo data is only "
                               "written into new databases.")
                    .arg(QLatin1String(kind), QString::fromStdString(connection.fileName()));
        return false;
    }
    return true;
}

} // namespace

bool CreateDemoData(
    Connection &payroll, Connection &common, const DemoOptions &options, QString &error)
{
    if (options.employees < 0 || options.payslipsPerEmployee < 0) {
        error = QStringLiteral("The numbers of employees and payslips cannot be negative.");
        return false;
    }
    if (!IsEmpty(payroll,
            "SELECT (SELECT count(*) FROM _iptblEasyEnquiry) + (SELECT count(*) FROM _rtblAgents)"
            " + (SELECT count(*) FROM _iptblPayerGroups) + (SELECT count(*) FROM _iptblEmployees)",
            "payroll", error)
        || !IsEmpty(common,
            "SELECT (SELECT count(*) FROM _btblPublicHolidays) + (SELECT count(*) FROM "
            "_btblTaxScales)",
            "common", error))
        return false;

    CredentialsAttachment credentials(payroll);
    if (!credentials.Attach(false, error))
        return false;
    // Two transactions: the payroll one (with the credentials) commits first because it is the
    // large one and the more likely to fail; a failure there leaves every file as it was.
    Transaction commonWrite(common);
    Transaction payrollWrite(payroll);
    DbError dbError;
    if (!commonWrite.started() || !payrollWrite.started()) {
        dbError = commonWrite.started() ? payroll.lastError() : common.lastError();
    } else if (WriteDemoCommonData(common, dbError) && WriteDemoLookups(payroll, dbError)
        && WriteDemoAgents(payroll, credentials, options.fastPasswordHashing, dbError)
        && WriteDemoEnquiries(payroll, dbError) && WriteDemoPayroll(payroll, options, dbError)) {
        if (payrollWrite.commit() && commonWrite.commit())
            return true;
        dbError = payroll.lastError().isSet() ? payroll.lastError() : common.lastError();
    }
    error = QStringLiteral("The demo data could not be written: %1").arg(ErrorText(dbError));
    return false;
}
