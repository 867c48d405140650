#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "host/core/ExportFile.h"
#include "host/core/GridExport.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/DbError.h"
#include "host/db/engine/SqliteConnection.h"
#include "run/ColumnLayout.h"
#include "run/EnquiryExecution.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <algorithm>

const QCommandLineOption &ParamOption();
bool PrepareForAgent(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql);

namespace {

const QCommandLineOption formatOption(
    QStringLiteral("format"), "Output format: csv (default), tsv, json or xlsx.", "FORMAT", "csv");
const QCommandLineOption outputOption(QStringList { "output", "o" },
    "Write to FILE instead of standard output (required for xlsx): a file is replaced only once "
    "complete, a FIFO or device is written in place, the open databases are refused.",
    "FILE");
const QCommandLineOption allColumnsOption(
    QStringLiteral("all-columns"), "Also write the hidden columns, after the visible ones.");

// The columns the result window would show, in its order: the agent's stored layout for this
// IQ, else the IQ's column rows; hidden ones only when asked for.
bool exportColumns(CliContext &context, const TQuillonADOQuery &result, const TqryIPEasyEnquiry &iq,
    std::vector<GridExportColumn> &columns)
{
    QStringList fields;
    for (int i = 0; i < result.FieldCount(); ++i)
        fields << result.FieldName(i);
    std::vector<NamedColumn> rows;
    QString error;
    if (!ReadColumnRows(*context.session->Payroll(), iq.GetIDEnquiry(), rows, error)) {
        context.err << "corvane-iq: cannot read the IQ's columns: " << error << "\n";
        return false;
    }
    const QString stored
        = RegIni::ReadString("frmIPEasyEnquiryView_" + iq.GetCode(), "Field Names", QString());
    const ColumnLayout layout = BuildColumnLayout(fields, stored, rows);
    // An IQ that names no column (no column rows, no kept layout) opens its window with every
    // field hidden; a file of empty rows would tell nothing, so here every field is written.
    const bool noneVisible = std::none_of(layout.columns.begin(), layout.columns.end(),
        [](const LayoutColumn &column) { return column.visible; });
    for (const bool visible : { true, false }) {
        if (!visible && !context.parser.isSet(allColumnsOption))
            break;
        for (const LayoutColumn &column : layout.columns)
            if (column.visible == visible || noneVisible)
                columns.push_back({ column.fieldName, column.caption });
        if (noneVisible)
            break;
    }
    return true;
}

int runRun(CliContext &context)
{
    const auto format = GridExport::FormatFromName(context.parser.value(formatOption));
    if (!format || *format == GridExportFormat::Html) {
        context.err << "corvane-iq run: --format must be csv, tsv, json or xlsx.\n";
        return ExitUsage;
    }
    const QString output = context.parser.value(outputOption);
    if (*format == GridExportFormat::Xlsx && output.isEmpty()) {
        context.err << "corvane-iq run: xlsx needs --output FILE.\n";
        return ExitUsage;
    }
    int timeoutSeconds = 0;
    if (!ReadTimeoutSeconds(context, timeoutSeconds))
        return ExitUsage;
    // Refused before anything runs or is stored, so a refused run changes no database.
    const QStringList protectedFiles = context.session->DatabaseFiles();
    if (!output.isEmpty()) {
        const QString refusal = ExportFile::Refusal(output, protectedFiles);
        if (!refusal.isEmpty()) {
            context.err << "corvane-iq: " << refusal << "\n";
            return ExitFailure;
        }
    }
    TqryIPEasyEnquiry iq;
    QString sql;
    if (!PrepareForAgent(context, iq, sql))
        return ExitFailure;
    SqliteConnection *connection = context.session->Report(iq.GetCommonDB());
    TQuillonADOQuery result;
    qint64 elapsed = kElapsedNotMeasured;
    QString error;
    if (!OpenEnquiry(result, *connection, sql, iq.GetCode(), iq.GetDescription(), elapsed, error,
            timeoutSeconds)) {
        context.err << OneLine(RunFailureMessage(error, elapsed)) << " (" << OneLine(error);
        if (result.LastError().isTimeout())
            context.err << "; the limit was " << QString::number(timeoutSeconds / 60.0)
                        << " minutes, --timeout MINUTES sets another";
        context.err << ")\n";
        return ExitFailure;
    }
    std::vector<GridExportColumn> columns;
    if (!exportColumns(context, result, iq, columns))
        return ExitFailure;
    GridExportOptions options;
    options.title = iq.GetCode() + " - " + iq.GetDescription();
    options.protectedFiles = protectedFiles;
    if (output.isEmpty()) {
        context.out.flush();
        if (!GridExport::Write(result, columns, *format, context.standardOutput, options, error)) {
            context.err << "corvane-iq: " << error << "\n";
            return ExitFailure;
        }
        return ExitOk;
    }
    if (!GridExport::Write(result, columns, *format, output, options, error)) {
        context.err << "corvane-iq: " << error << "\n";
        return ExitFailure;
    }
    context.err << result.RecordCount() << " rows written to " << output << " in " << elapsed
                << " ms\n";
    return ExitOk;
}

} // namespace

CliCommand RunCommand()
{
    return { "run", "Runs an IQ for the signed-in agent and writes its visible columns.", "CODE",
        { ParamOption(), formatOption, outputOption, allColumnsOption, TimeoutOption() }, true,
        runRun };
}
