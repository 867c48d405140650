#include "store/DemoData.h"

#include "host/core/Agent.h"
#include "host/db/engine/Connection.h"
#include "store/CredentialsAttachment.h"
#include "store/DemoParts.h"
#include "store/SqlHelpers.h"

namespace {

// A file by its name; a server has none to show (its connection string may hold a password).
QString Where(const Connection &connection)
{
    const std::string file = connection.fileName();
    return file.empty() ? QStringLiteral("on the server")
                        : QStringLiteral("\"%1\"").arg(QString::fromStdString(file));
}

// Demo rows only go into databases that hold none of their kind, so nobody's data is mixed with
// or overwritten by invented rows.
bool IsEmpty(Connection &connection, const char *sql, const char *kind, QString &error)
{
    DbError dbError;
    const auto rows = QueryInt(connection, sql, {}, dbError);
    if (!rows) {
        error = QStringLiteral("The %1 database %2 cannot take demo data: %3")
                    .arg(QLatin1String(kind), Where(connection), ErrorText(dbError));
        return false;
    }
    if (*rows > 0) {
        error = QStringLiteral("The %1 database %2 already holds data; demo data is only "
                               "written into new databases.")
                    .arg(QLatin1String(kind), Where(connection));
        return false;
    }
    return true;
}

bool IsServer(const Connection &connection)
{
    return connection.engineName() == "ODBC";
}

bool WriteServerHash(
    Connection &payroll, int agentId, const QString &password, bool fastHashing, DbError &error)
{
    const QString hash = HashPassword(password, fastHashing);
    if (hash.isEmpty()) {
        error.text = "The password of agent " + std::to_string(agentId) + " could not be hashed.";
        return false;
    }
    return payroll.run(
        "INSERT INTO dbo._rtblAgentCredentials (iAgentID, cPasswordHash) VALUES (?, ?)",
        { std::int64_t { agentId }, hash.toStdString() }, error);
}

// The demo writes its own keys; the server's counters must then start after them, or the next
// row a person adds would take a demo row's key. PostgreSQL: "serial" keys.
bool AdvanceServerCounters(Connection &connection, DbError &error)
{
    if (connection.execute(
            "DO $$ DECLARE r record; BEGIN FOR r IN SELECT table_name, column_name FROM "
            "information_schema.columns WHERE table_schema = 'dbo' AND column_default LIKE "
            "'nextval(%' LOOP EXECUTE format('SELECT setval(pg_get_serial_sequence(%L, %L), "
            "coalesce(max(%I), 0) + 1, false) FROM dbo.%I', 'dbo.' || r.table_name, "
            "r.column_name, r.column_name, r.table_name); END LOOP; END $$"))
        return true;
    error = connection.lastError();
    return false;
}

} // namespace

bool CreateDemoData(
    Connection &payroll, Connection &common, const DemoOptions &options, QString &error)
{
    if (options.employees < 0 || options.payslipsPerEmployee < 0) {
        error = QStringLiteral("The numbers of employees and payslips cannot be negative.");
        return false;
    }
    // On a server the administrator init made stays the only administrator (the demo's "admin"
    // with its known password is left out there), so it does not count as data.
    const bool server = IsServer(payroll);
    const std::string agents = server
        ? "(SELECT count(*) FROM _rtblAgents WHERE bAdministrator = 0)"
        : "(SELECT count(*) FROM _rtblAgents)";
    if (!IsEmpty(payroll,
            ("SELECT (SELECT count(*) FROM _iptblEasyEnquiry) + " + agents
                + " + (SELECT count(*) FROM _iptblPayerGroups) + (SELECT count(*) FROM "
                  "_iptblEmployees)")
                .c_str(),
            "payroll", error)
        || !IsEmpty(common,
            "SELECT (SELECT count(*) FROM _btblPublicHolidays) + (SELECT count(*) FROM "
            "_btblTaxScales)",
            "common", error))
        return false;

    CredentialsAttachment credentials(payroll);
    if (!server && !credentials.Attach(false, error))
        return false;
    const DemoPasswordWriter setPassword
        = [&](int agentId, const QString &password, bool fastHashing, DbError &failure) {
              return server ? WriteServerHash(payroll, agentId, password, fastHashing, failure)
                            : credentials.SetPassword(agentId, password, fastHashing, failure);
          };
    // Two transactions: the payroll one (with the credentials) commits first because it is the
    // large one and the more likely to fail; a failure there leaves every file as it was.
    Transaction commonWrite(common);
    Transaction payrollWrite(payroll);
    DbError dbError;
    if (!commonWrite.started() || !payrollWrite.started()) {
        dbError = commonWrite.started() ? payroll.lastError() : common.lastError();
    } else if (WriteDemoCommonData(common, dbError) && WriteDemoLookups(payroll, dbError)
        && WriteDemoAgents(payroll, setPassword, !server, options.fastPasswordHashing, dbError)
        && WriteDemoEnquiries(payroll, dbError) && WriteDemoPayroll(payroll, options, dbError)) {
        if (payrollWrite.commit() && commonWrite.commit()) {
            // After the commits: counters are not part of a transaction, and a database holding
            // both kinds must see both kinds' rows.
            if (!server
                || (AdvanceServerCounters(payroll, dbError)
                    && AdvanceServerCounters(common, dbError)))
                return true;
            error = QStringLiteral("The demo data was written, but the server's key counters "
                                   "could not be set past it: %1")
                        .arg(ErrorText(dbError));
            return false;
        }
        dbError = payroll.lastError().isSet() ? payroll.lastError() : common.lastError();
    }
    error = QStringLiteral("The demo data could not be written: %1").arg(ErrorText(dbError));
    return false;
}
