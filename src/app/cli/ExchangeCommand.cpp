#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "exchange/EasyXMLWriter.h"
#include "exchange/EnquiryExchange.h"
#include "host/core/ExportFile.h"
#include "host/db/engine/Connection.h"
#include "run/EnquiryRights.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace {

const QCommandLineOption outputOption(QStringList { "output", "o" },
    "Write the file to FILE, or to standard output for \"-\" (required). A file is replaced only "
    "once complete; the open databases are refused.",
    "FILE");
const QCommandLineOption allOption(QStringLiteral("all"), "Export every IQ, in id order.");
const QCommandLineOption forceOption(
    QStringLiteral("force"), "Overwrite FILE when it exists (without it, an existing file stays).");
const QCommandLineOption dryRunOption(QStringLiteral("dry-run"),
    "Read and check the whole file and store every record, then roll back: nothing is kept and "
    "nothing logged.");

bool MayExchange(CliContext &context, const char *command)
{
    QString refusal;
    if (MayUseFunction(kFunctionEasyEnquiryExchange, refusal))
        return true;
    context.err << "corvane-iq " << command << ": " << OneLine(refusal) << "\n";
    return false;
}

int runExport(CliContext &context)
{
    const QString output = context.parser.value(outputOption);
    const QStringList codes = context.parser.positionalArguments().mid(1);
    const bool all = context.parser.isSet(allOption);
    if (output.isEmpty() || all == !codes.isEmpty()) {
        context.err << "corvane-iq export: give --output FILE (or -) and either codes or --all.\n";
        return ExitUsage;
    }
    if (!MayExchange(context, "export"))
        return ExitFailure;
    std::vector<int> ids;
    for (const QString &code : codes) {
        TqryIPEasyEnquiry iq;
        if (!SelectEnquiryByCode(context, code, iq))
            return ExitFailure;
        if (std::find(ids.begin(), ids.end(), iq.GetIDEnquiry()) == ids.end())
            ids.push_back(iq.GetIDEnquiry());
    }
    Connection &payroll = *context.session->Payroll();
    QString error;
    if (output == u"-") {
        std::string text;
        if (!EasyXMLFromDataSet(payroll, all, ids, text, error)) {
            context.err << "corvane-iq export: " << OneLine(error) << "\n";
            return ExitFailure;
        }
        context.out.flush();
        const std::string bytes = EncodeSimpleXmlFile(std::move(text));
        context.standardOutput.Write(bytes.data(), qint64(bytes.size()));
        return ExitOk;
    }
    // The dialog's question, answered by the option.
    if (QFileInfo::exists(output) && !context.parser.isSet(forceOption)) {
        context.err << "corvane-iq export: File \"" << output
                    << "\" exists; it is kept (--force overwrites it).\n";
        return ExitFailure;
    }
    if (!WriteEnquiryFile(payroll, all, ids, output, context.session->DatabaseFiles(), error)) {
        context.err << "corvane-iq export: " << OneLine(error) << "\n";
        return ExitFailure;
    }
    return ExitOk;
}

int runImport(CliContext &context)
{
    const QStringList files = context.parser.positionalArguments().mid(1);
    if (files.size() != 1) {
        context.err << "corvane-iq import: give one FILE.\n";
        return ExitUsage;
    }
    if (!MayExchange(context, "import"))
        return ExitFailure;
    const bool dryRun = context.parser.isSet(dryRunOption);
    const ImportRun run = RunEnquiryImport(*context.session->Payroll(), files[0], dryRun, false);
    if (!run.started) {
        context.err << "corvane-iq import: " << OneLine(run.refusal) << "\n";
        return ExitFailure;
    }
    const ImportOutcome &outcome = run.outcome;
    for (const QString &line : outcome.rejections)
        context.out << line << "\n";
    if (outcome.Failed()) {
        context.err << OneLine(outcome.Message()) << "\n";
        return ExitFailure;
    }
    context.out << outcome.CountLine() << "\n";
    if (dryRun)
        context.err << "corvane-iq import: dry run, nothing was stored.\n";
    return outcome.rejections.isEmpty() ? ExitOk : ExitWarning;
}

} // namespace

CliCommand ExportCommand()
{
    return { "export",
        "Writes IQ definitions (the codes given, in that order, or --all) to a simple XML db file, "
        "as the Export dialog does. Needs right 2602. Exit status: 0 written, 1 failed (nothing "
        "written; an existing file is kept), 2 wrong arguments.",
        "(CODE... | --all)", { outputOption, allOption, forceOption }, true, runExport };
}

CliCommand ImportCommand()
{
    return { "import",
        "Imports the IQ definitions of a simple XML db file in one transaction, as the Import "
        "dialog does, with its log lines; prints the rejection lines and the count line. Needs "
        "right 2602. Exit status: 0 every record imported, 3 some records rejected (the others "
        "imported), 1 the import failed and stored nothing, 2 wrong arguments.",
        "FILE", { dryRunOption }, true, runImport };
}
