#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "host/db/engine/Connection.h"
#include "run/PrepareStatement.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QTextStream>

const QCommandLineOption &ParamOption()
{
    static const QCommandLineOption option(QStringLiteral("param"),
        "Set the parameter NAME to VALUE, checked as the parameter dialog does; run also stores "
        "it, as the dialog's OK does. Repeatable.",
        "NAME=VALUE");
    return option;
}

namespace {

// The statement that would run for the signed-in agent: parameters substituted, agent filters
// applied, security check passed. "run" stores the values it is given first, as the parameter
// dialog's OK does; "prepare" only shows what they would make.
bool PrepareStatementFor(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql, bool store)
{
    const QStringList args = context.parser.positionalArguments();
    if (args.size() != 2) {
        context.err << "corvane-iq " << args.value(0) << ": give one IQ code.\n";
        return false;
    }
    if (!SelectEnquiryByCode(context, args[1], iq))
        return false;
    std::vector<ParamRow> values;
    if (!ApplyParamArguments(context, iq.GetIDEnquiry(), iq.GetCode(),
            context.parser.values(ParamOption()), store, values))
        return false;
    Connection *target = context.session->Report(iq.GetCommonDB());
    QString error;
    if (!PrepareEnquirySQL(*context.session->Payroll(), iq.GetIDEnquiry(), iq.GetSQLStatement(),
            sql, error, target, store ? nullptr : &values)) {
        context.err << OneLine(error) << "\n";
        return false;
    }
    return true;
}

} // namespace

bool PrepareForAgent(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql)
{
    return PrepareStatementFor(context, iq, sql, true);
}

bool PrepareWithoutStoring(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql)
{
    return PrepareStatementFor(context, iq, sql, false);
}

namespace {

int runPrepare(CliContext &context)
{
    TqryIPEasyEnquiry iq;
    QString sql;
    if (!PrepareStatementFor(context, iq, sql, false))
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
