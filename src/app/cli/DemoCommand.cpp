#include "app/cli/CliCommand.h"

#include "app/common/DatabaseLocation.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/ConnectionName.h"
#include "store/CredentialStore.h"
#include "store/DemoData.h"
#include "store/ServerDatabases.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QCommandLineOption employeesOption(
    QStringLiteral("employees"), "How many employees (default 2000).", "N", "2000");
const QCommandLineOption payslipsOption(
    QStringLiteral("payslips-per-employee"), "Payslips per employee (default 12).", "M", "12");
const QCommandLineOption seedOption(
    QStringLiteral("seed"), "Seed of the generator; the same seed gives the same data.", "S");
const QCommandLineOption forceOption(
    QStringLiteral("force"), "Replace databases that exist already.");
const QCommandLineOption payrollOption(QStringLiteral("payroll"), "", "FILE");
const QCommandLineOption commonOption(QStringLiteral("common"), "", "FILE");

bool isServer(const QString &name)
{
    return ConnectionName::isOdbc(name.toStdString());
}

// On a server the schema (and the first administrator) come from "corvane-iq init"; demo only
// adds its rows, and only to databases that hold none.
bool writeServerDemo(
    const QString &payrollName, const QString &commonName, DemoOptions options, QString &error)
{
    const auto payroll = OpenServerDatabase(payrollName, DatabaseKind::Payroll, error);
    const auto common
        = payroll ? OpenServerDatabase(commonName, DatabaseKind::Common, error) : nullptr;
    return common && CreateDemoData(*payroll, *common, options, error);
}

bool readCount(const QString &text, int minimum, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= minimum;
}

int runDemo(CliContext &context)
{
    QCommandLineParser &parser = context.parser;
    DemoOptions options;
    if (!readCount(parser.value(employeesOption), 1, options.employees)) {
        context.err << "corvane-iq demo: --employees must be a whole number of at least 1.\n";
        return ExitUsage;
    }
    if (!readCount(parser.value(payslipsOption), 0, options.payslipsPerEmployee)) {
        context.err
            << "corvane-iq demo: --payslips-per-employee must be a whole number of at least 0.\n";
        return ExitUsage;
    }
    if (parser.isSet(seedOption)) {
        bool ok = false;
        options.seed = parser.value(seedOption).toUInt(&ok);
        if (!ok) {
            context.err << "corvane-iq demo: --seed must be a whole number.\n";
            return ExitUsage;
        }
    }
    const QString payroll
        = parser.isSet(payrollOption) ? parser.value(payrollOption) : DefaultPayrollPath();
    const QString common
        = parser.isSet(commonOption) ? parser.value(commonOption) : DefaultCommonPath();
    if (isServer(payroll) != isServer(common)) {
        context.err << "corvane-iq demo: give --payroll and --common both as files or both as "
                       "odbc:CONNECTION.\n";
        return ExitUsage;
    }
    const bool server = isServer(payroll);
    if (server && parser.isSet(forceOption)) {
        context.err << "corvane-iq demo: --force replaces files; demo data goes only into server "
                       "databases that hold none.\n";
        return ExitUsage;
    }
    if (!server && !parser.isSet(forceOption)) {
        for (const QString &path : { payroll, common, CredentialStore(payroll).File() }) {
            if (QFileInfo::exists(path)) {
                context.err << "corvane-iq demo: " << path
                            << " exists already; give --force to replace it.\n";
                return ExitFailure;
            }
        }
    }
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!(server ? writeServerDemo(payroll, common, options, error)
                 : WriteDemoDatabases(payroll, common, options, error))) {
        context.err << "corvane-iq demo: " << error << "\n";
        return ExitFailure;
    }
    // A server is shown without its password.
    const auto shown
        = [server](const QString &name) { return server ? ShownDatabaseName(name) : name; };
    context.out << "Demo databases written in " << timer.elapsed()
                << " ms:\n  payroll: " << shown(payroll) << "\n  common:  " << shown(common)
                << "\n  " << options.employees << " employees, "
                << qint64(options.employees) * options.payslipsPerEmployee << " payslips\n";
    return ExitOk;
}

} // namespace

CliCommand DemoCommand()
{
    // The global --payroll/--common options choose where the databases are written.
    return { "demo", "Writes the demo databases (payroll data, agents and IQs).", {},
        { employeesOption, payslipsOption, seedOption, forceOption }, false, runDemo };
}
