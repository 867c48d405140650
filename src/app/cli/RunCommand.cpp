#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "host/core/ExportFile.h"
#include "host/core/GridExport.h"
#include "host/core/GridExportStream.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/DbError.h"
#include "run/ColumnLayout.h"
#include "run/EnquiryExecution.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>

const QCommandLineOption &ParamOption();
bool PrepareForAgent(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql);

namespace {

const QCommandLineOption formatOption(QStringLiteral("format"),
    "Output format: csv (default), tsv, json or xlsx. Rows are written as they are read. When "
    "xlsx has to change them to fit (a text cut to what a cell holds, rows continued on further "
    "sheets), a warning line says so and the exit status is 3.",
    "FORMAT", "csv");
const QCommandLineOption outputOption(QStringList { "output", "o" },
    "Write to FILE instead of standard output (required for xlsx): a file is replaced only once "
    "complete, a FIFO or device is written in place, the open databases are refused.",
    "FILE");
const QCommandLineOption allColumnsOption(
    QStringLiteral("all-columns"), "Also write the hidden columns, after the visible ones.");

// The columns the result window would show, in its order: the agent's stored layout for this
// IQ, else the IQ's column rows; hidden ones only when asked for.
bool exportColumns(CliContext &context, const QStringList &fields, const TqryIPEasyEnquiry &iq,
    std::vector<GridExportColumn> &columns, QString &error)
{
    ColumnLayout layout;
    if (!ResultWindowLayout(context, fields, iq, layout, error))
        return false;
    // An IQ that names no column (no column rows, no kept layout) opens its window with every
    // field hidden; rather than a file of empty rows, say so, as the window's empty save does.
    const bool all = context.parser.isSet(allColumnsOption);
    const bool noneVisible = std::none_of(layout.columns.begin(), layout.columns.end(),
        [](const LayoutColumn &column) { return column.visible; });
    if (noneVisible && !all) {
        error = QStringLiteral("the IQ \"%1\" shows no column in the result window (it has no "
                               "column rows); --all-columns writes every field.")
                    .arg(iq.GetCode());
        return false;
    }
    for (const bool visible : { true, false }) {
        for (const LayoutColumn &column : layout.columns)
            if (column.visible == visible && (visible || all))
                columns.push_back({ column.fieldName, column.caption });
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
    Connection *connection = context.session->Report(iq.GetCommonDB());
    GridExportOptions options;
    options.title = iq.GetCode() + " - " + iq.GetDescription();
    // Rows are written as they are read: nothing here sorts or filters, so no row is kept.
    ExportFile named(output, protectedFiles);
    ExportFile &file = output.isEmpty() ? context.standardOutput : named;
    context.out.flush();
    GridExportStream stream(*format, file, options,
        [&](const QStringList &fields, std::vector<GridExportColumn> &columns, QString &error) {
            return exportColumns(context, fields, iq, columns, error);
        });
    QElapsedTimer whole;
    whole.start();
    TQuillonADOQuery query;
    qint64 elapsed = kElapsedNotMeasured;
    QString error;
    if (!StreamEnquiry(query, stream, *connection, sql, iq.GetCode(), iq.GetDescription(), elapsed,
            error, timeoutSeconds)) {
        if (stream.Stopped()) {
            context.err << "corvane-iq: " << OneLine(stream.Error()) << "\n";
            return ExitFailure;
        }
        context.err << OneLine(RunFailureMessage(error, elapsed)) << " (" << OneLine(error);
        if (query.LastError().isTimeout())
            context.err << "; the limit was " << QString::number(timeoutSeconds / 60.0)
                        << " minutes, --timeout MINUTES sets another";
        context.err << ")\n";
        return ExitFailure;
    }
    if (!stream.Finish(error)) {
        context.err << "corvane-iq: " << error << "\n";
        return ExitFailure;
    }
    const GridExportReport &report = stream.Report();
    if (!output.isEmpty())
        context.err << report.rows << " rows written to " << output << " in " << whole.elapsed()
                    << " ms\n";
    if (!report.Warning().isEmpty()) {
        context.err << "corvane-iq: warning: " << report.Warning() << "\n";
        return ExitWarning;
    }
    return ExitOk;
}

} // namespace

CliCommand RunCommand()
{
    return { "run", "Runs an IQ for the signed-in agent and writes its visible columns.", "CODE",
        { ParamOption(), formatOption, outputOption, allColumnsOption, TimeoutOption() }, true,
        runRun };
}
