#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "host/db/engine/SqliteConnection.h"
#include "run/PrepareStatement.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QTextStream>

const QCommandLineOption &ParamOption()
{
    static const QCommandLineOption option(QStringLiteral("param"),
        "Set the parameter NAME to VALUE, checked and stored as the parameter dialog does. "
        "Repeatable.",
        "NAME=VALUE");
    return option;
}

// The statement that would run for the signed-in agent: parameters substituted, agent filters
// applied, security check passed. Shared by "prepare" and "run".
bool PrepareForAgent(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql)
{
    const QStringList args = context.parser.positionalArguments();
    if (args.size() != 2) {
        context.err << "corvane-iq " << args.value(0) << ": give one IQ code.\n";
        return false;
    }
    if (!SelectEnquiryByCode(context, args[1], iq))
        return false;
    if (!ApplyParamArguments(
            context, iq.GetIDEnquiry(), iq.GetCode(), context.parser.values(ParamOption())))
        return false;
    SqliteConnection *target = context.session->Report(iq.GetCommonDB());
    QString error;
    if (!PrepareEnquirySQL(*context.session->Payroll(), iq.GetIDEnquiry(), iq.GetSQLStatement(),
            sql, error, target)) {
        context.err << OneLine(error) << "\n";
        return false;
    }
    return true;
}

namespace {

int runPrepare(CliContext &context)
{
    TqryIPEasyEnquiry iq;
    QString sql;
    if (!PrepareForAgent(context, iq, sql))
        return ExitFailure;
    context.out << sql << "\n";
    return ExitOk;
}

} // namespace

CliCommand PrepareCommand()
{
    return { "prepare", "Prints the statement that would run for the signed-in agent.", "CODE",
        { ParamOption() }, true, runPrepare };
}
