#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class ExportFile;
class QCommandLineParser;
class QTextStream;
class HostSession;

// What a command is given: its parsed options, the output streams and, when the command needs
// them, the open databases with the agent signed in.
struct CliContext
{
    QCommandLineParser &parser;
    QTextStream &out; // writes to `standardOutput`
    QTextStream &err;
    ExportFile &standardOutput; // for bytes written as they are; flush `out` first
    HostSession *session = nullptr; // null for commands that open nothing
};

// ExitWarning: the output was written whole, but the format made it differ from the result
// (one warning line on stderr says how); for import, some records were rejected.
enum CliExit { ExitOk = 0, ExitFailure = 1, ExitUsage = 2, ExitWarning = 3 };

struct CliCommand
{
    QString name;
    QString summary;
    QString arguments; // shown in the usage line, e.g. "CODE"
    QList<QCommandLineOption> options;
    bool needsSession = true; // opens the databases and signs the agent in first
    std::function<int(CliContext &)> run;
};

// Each command file adds its command to the table.
const QList<CliCommand> &CliCommands();
CliCommand ListCommand();
CliCommand ShowCommand();
CliCommand DemoCommand();
CliCommand InitCommand();
CliCommand PrepareCommand();
CliCommand RunCommand();
CliCommand AddCommand();
CliCommand EditCommand();
CliCommand CopyCommand();
CliCommand ChartCommand();
CliCommand ExportCommand();
CliCommand ImportCommand();
CliCommand SchemaCommand();

// Runs corvane-iq with the given arguments (program name first); returns the exit code. `out`
// writes to `standardOutput`, whose failures the caller reports after flushing `out`.
int RunCorvaneIQ(
    const QStringList &arguments, QTextStream &out, QTextStream &err, ExportFile &standardOutput);
