#include "app/cli/CliCommand.h"

#include "app/cli/PasswordPrompt.h"
#include "host/core/Agent.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/ConnectionName.h"
#include "run/EnquiryRights.h"
#include "store/ServerDatabases.h"
#include "store/ServerSchema.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <memory>
#include <optional>

namespace {

const QCommandLineOption adminOption(QStringLiteral("admin"),
    "Name of the first administrator (default admin); the password comes from "
    "$CORVANE_PASSWORD, or is asked for on a terminal.",
    "NAME", "admin");
const QCommandLineOption roleOption(QStringLiteral("report-role"),
    "The server login under which IQs run: it may only read (default $CORVANE_REPORT_ROLE, "
    "else corvane_report, as the programs expect).",
    "ROLE");
const QCommandLineOption payrollOption(QStringLiteral("payroll"), "", "odbc:CONNECTION");
const QCommandLineOption commonOption(QStringLiteral("common"), "", "odbc:CONNECTION");

// The first administrator: every company, frequency and location, every IQ right.
bool addAdministrator(
    Connection &payroll, const QString &name, const QString &password, QString &error)
{
    const QString hash = HashPassword(password);
    if (hash.isEmpty()) {
        error = QStringLiteral("The password could not be hashed.");
        return false;
    }
    DbError failure;
    const Value values[] = { Value { name.toStdString() } };
    std::int64_t id = 0;
    if (!payroll.insertWithIdentity("INSERT INTO dbo._rtblAgents (cAgentName, bAdministrator, "
                                    "bAllPayrollCompanies, bAllPayFrequencies, bAllLocations, "
                                    "bActive) VALUES (?, 1, 1, 1, 1, 1)",
            values, "idAgents", id, failure)
        || !payroll.run(
            "INSERT INTO dbo._rtblAgentFunctions (iAgentID, iFunctionID) VALUES (?, ?), "
            "(?, ?)",
            { id, std::int64_t { kFunctionEasyEnquiry }, id,
                std::int64_t { kFunctionEasyEnquiryExchange } },
            failure)
        || !payroll.run("INSERT INTO dbo._rtblAgentCredentials (iAgentID, cPasswordHash) VALUES "
                        "(?, ?)",
            { id, hash.toStdString() }, failure)) {
        error = QStringLiteral("Cannot add the administrator: %1")
                    .arg(QString::fromStdString(failure.text));
        return false;
    }
    return true;
}

int runInit(CliContext &context)
{
    QCommandLineParser &parser = context.parser;
    const QString payrollName = parser.value(payrollOption);
    const QString commonName = parser.value(commonOption);
    if (!ConnectionName::isOdbc(payrollName.toStdString())
        || !ConnectionName::isOdbc(commonName.toStdString())) {
        context.err << "corvane-iq init: give --payroll odbc:CONNECTION and --common "
                       "odbc:CONNECTION; database files are made by \"corvane-iq demo\".\n";
        return ExitUsage;
    }
    const QString admin = parser.value(adminOption).trimmed();
    if (admin.isEmpty()) {
        context.err << "corvane-iq init: --admin may not be blank.\n";
        return ExitUsage;
    }
    QString error;
    QString password;
    if (!ReadPassword(admin, password, error)) {
        context.err << "corvane-iq init: " << error << "\n";
        return ExitFailure;
    }
    if (password.isEmpty()) {
        context.err << "corvane-iq init: the administrator's password may not be empty.\n";
        return ExitFailure;
    }
    DbError failure;
    const auto payroll = ConnectionName::open(
        payrollName.toStdString(), SqliteConnection::OpenMode::ReadWrite, failure);
    // One database may hold both: then one connection makes both, as two would wait on each
    // other's uncommitted schema.
    const bool shared = payrollName == commonName;
    std::unique_ptr<Connection> other;
    if (payroll && !shared)
        other = ConnectionName::open(
            commonName.toStdString(), SqliteConnection::OpenMode::ReadWrite, failure);
    if (!payroll || (!shared && !other)) {
        context.err << "corvane-iq init: " << QString::fromStdString(failure.text) << "\n";
        return ExitFailure;
    }
    Connection &common = shared ? *payroll : *other;
    const QString role = parser.isSet(roleOption) ? parser.value(roleOption) : ReportRoleName();
    if (!CreateReportRole(*payroll, role, error)) {
        context.err << "corvane-iq init: " << error << "\n";
        return ExitFailure;
    }
    // Both schemas and the administrator, or neither: each database commits only once both
    // were made.
    Transaction payrollWork(*payroll);
    std::optional<Transaction> commonWork;
    if (!shared)
        commonWork.emplace(common);
    if (!payrollWork.started() || (commonWork && !commonWork->started())
        || !CreateServerSchema(*payroll, DatabaseKind::Payroll, role, error)
        || !CreateServerSchema(common, DatabaseKind::Common, role, error)
        || !addAdministrator(*payroll, admin, password, error)) {
        if (error.isEmpty())
            error = QString::fromStdString(payroll->lastError().text);
        context.err << "corvane-iq init: " << error << "\n";
        return ExitFailure;
    }
    if (!payrollWork.commit() || (commonWork && !commonWork->commit())) {
        context.err << "corvane-iq init: cannot commit: "
                    << QString::fromStdString(payroll->lastError().text) << "\n";
        return ExitFailure;
    }
    context.out << "Created the payroll and common schemas (versions "
                << CurrentSchemaVersion(DatabaseKind::Payroll) << " and "
                << CurrentSchemaVersion(DatabaseKind::Common) << "), the report role " << role
                << " and the administrator " << admin << ".\n";
    return ExitOk;
}

} // namespace

CliCommand InitCommand()
{
    // The global --payroll/--common options name the two server databases (they may be one).
    return { "init", "Creates the schema on empty server databases, with the first administrator.",
        {}, { adminOption, roleOption }, false, runInit };
}
