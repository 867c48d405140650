#include "app/cli/CliCommand.h"

#include "app/cli/PasswordPrompt.h"
#include "app/common/HostSession.h"
#include "host/core/ExportFile.h"
#include "run/EnquiryRights.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <unistd.h>

namespace {

const QCommandLineOption agentOption(QStringLiteral("agent"),
    "Sign in as the agent NAME (or $CORVANE_AGENT). The password comes from $CORVANE_PASSWORD, or "
    "is asked for on a terminal.",
    "NAME");
const QCommandLineOption payrollOption(QStringLiteral("payroll"),
    "The payroll database: a FILE, or a server as odbc:CONNECTION (default: the demo database "
    "in the user's data folder).",
    "FILE");
const QCommandLineOption commonOption(QStringLiteral("common"),
    "The common database: a FILE, or a server as odbc:CONNECTION (default: the demo database "
    "in the user's data folder).",
    "FILE");
const QCommandLineOption helpOption(QStringList { "h", "help" }, "Show this help.");

QList<QCommandLineOption> globalOptions()
{
    return { agentOption, payrollOption, commonOption };
}

// The command is the first argument that is not an option or an option's value.
int findCommand(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == "--agent" || arg == "--payroll" || arg == "--common") {
            ++i;
            continue;
        }
        if (!arg.startsWith('-'))
            return i;
    }
    return -1;
}

void printGeneralHelp(QTextStream &out)
{
    out << "Usage: corvane-iq [--agent NAME] [--payroll FILE] [--common FILE] COMMAND [options]\n\n"
        << "Runs the IQ reports of Corvane without windows.\n\nCommands:\n";
    for (const CliCommand &command : CliCommands())
        out << "  " << command.name.leftJustified(10) << command.summary << "\n";
    out << "\nOptions:\n";
    for (const QCommandLineOption &option : globalOptions())
        out << "  --" << (option.names().first() + " " + option.valueName()).leftJustified(16)
            << option.description() << "\n";
    out << "\n\"corvane-iq COMMAND --help\" describes one command.\n";
}

void printCommandHelp(const CliCommand &command, QTextStream &out)
{
    out << "Usage: corvane-iq [global options] " << command.name;
    if (!command.options.isEmpty())
        out << " [options]";
    if (!command.arguments.isEmpty())
        out << " " << command.arguments;
    out << "\n\n" << command.summary << "\n\nOptions:\n";
    QList<QCommandLineOption> all = command.options;
    if (command.needsSession)
        all += globalOptions();
    for (const QCommandLineOption &option : std::as_const(all)) {
        QString names;
        for (const QString &name : option.names())
            names += (names.isEmpty() ? "" : ", ") + QString(name.size() == 1 ? "-" : "--") + name;
        if (!option.valueName().isEmpty())
            names += " " + option.valueName();
        out << "  " << names.leftJustified(28) << option.description() << "\n";
    }
}

bool openSession(QCommandLineParser &parser, HostSession &session, QTextStream &err)
{
    QString error;
    const QString payroll = parser.value(payrollOption);
    const QString common = parser.value(commonOption);
    if (payroll.isEmpty() != common.isEmpty()) {
        err << "corvane-iq: give both --payroll and --common, or neither.\n";
        return false;
    }
    if (!session.Open(payroll, common, true, error)) {
        err << "corvane-iq: " << error << "\n";
        return false;
    }
    QString agent = parser.value(agentOption);
    if (agent.isEmpty())
        agent = qEnvironmentVariable("CORVANE_AGENT");
    if (agent.isEmpty()) {
        err << "corvane-iq: no agent to sign in as; give --agent NAME.\n";
        return false;
    }
    QString password;
    if (!ReadPassword(agent, password, error) || !session.SignIn(agent, password, error)
        || !MayUseFunction(kFunctionEasyEnquiry, error)) {
        err << "corvane-iq: " << error << "\n";
        return false;
    }
    return true;
}

} // namespace

const QList<CliCommand> &CliCommands()
{
    static const QList<CliCommand> commands { ListCommand(), ShowCommand(), PrepareCommand(),
        RunCommand(), AddCommand(), EditCommand(), CopyCommand(), DemoCommand(), InitCommand(),
        ChartCommand(), ExportCommand(), ImportCommand(), SchemaCommand() };
    return commands;
}

int RunCorvaneIQ(
    const QStringList &arguments, QTextStream &out, QTextStream &err, ExportFile &standardOutput)
{
    const int at = findCommand(arguments);
    if (at < 0) {
        const bool asked = arguments.contains("--help") || arguments.contains("-h");
        printGeneralHelp(asked ? out : err);
        return asked ? ExitOk : ExitUsage;
    }
    const QString name = arguments[at];
    const auto &commands = CliCommands();
    const auto found = std::find_if(commands.begin(), commands.end(),
        [&](const CliCommand &command) { return command.name == name; });
    if (found == commands.end()) {
        err << "corvane-iq: unknown command \"" << name
            << "\"; \"corvane-iq --help\" lists them.\n";
        return ExitUsage;
    }
    QCommandLineParser parser;
    parser.addOptions(globalOptions());
    parser.addOptions(found->options);
    parser.addOption(helpOption);
    if (!parser.parse(arguments)) {
        err << "corvane-iq " << name << ": " << parser.errorText() << "\n";
        return ExitUsage;
    }
    if (parser.isSet(helpOption)) {
        printCommandHelp(*found, out);
        return ExitOk;
    }
    HostSession session;
    CliContext context { parser, out, err, standardOutput, nullptr };
    if (found->needsSession) {
        if (!openSession(parser, session, err))
            return ExitFailure;
        // "corvane-iq list >> payroll.db" would add text to the database.
        const QString refusal = ExportFile::DescriptorRefusal(
            STDOUT_FILENO, QStringLiteral("standard output"), session.DatabaseFiles());
        if (!refusal.isEmpty()) {
            err << "corvane-iq: " << refusal << "\n";
            return ExitFailure;
        }
        context.session = &session;
    }
    return found->run(context);
}
