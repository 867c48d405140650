#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "host/core/GridExport.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/SqliteConnection.h"
#include "run/ColumnLayout.h"
#include "run/EnquiryExecution.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

const QCommandLineOption &ParamOption();
bool PrepareForAgent(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql);

namespace {

const QCommandLineOption formatOption(
    QStringLiteral("format"), "Output format: csv (default), tsv, json or xlsx.", "FORMAT", "csv");
const QCommandLineOption outputOption(QStringList { "output", "o" },
    "Write to FILE instead of standard output (required for xlsx).", "FILE");
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

bool writeToStdout(CliContext &context, const TQuillonADOQuery &result,
    const std::vector<GridExportColumn> &columns, GridExportFormat format,
    const GridExportOptions &options)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/result." + GridExport::Suffix(format);
    QString error;
    if (!GridExport::Write(result, columns, format, path, options, error)) {
        context.err << "corvane-iq: " << error << "\n";
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        context.err << "corvane-iq: cannot read back the result.\n";
        return false;
    }
    context.out.flush();
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return false;
    out.write(file.readAll());
    out.flush();
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
    TqryIPEasyEnquiry iq;
    QString sql;
    if (!PrepareForAgent(context, iq, sql))
        return ExitFailure;
    SqliteConnection *connection = context.session->Report(iq.GetCommonDB());
    TQuillonADOQuery result;
    qint64 elapsed = kElapsedNotMeasured;
    QString error;
    if (!OpenEnquiry(result, *connection, sql, iq.GetCode(), iq.GetDescription(), elapsed, error)) {
        context.err << OneLine(RunFailureMessage(error, elapsed)) << " (" << OneLine(error)
                    << ")\n";
        return ExitFailure;
    }
    std::vector<GridExportColumn> columns;
    if (!exportColumns(context, result, iq, columns))
        return ExitFailure;
    GridExportOptions options;
    options.title = iq.GetCode() + " - " + iq.GetDescription();
    if (output.isEmpty())
        return writeToStdout(context, result, columns, *format, options) ? ExitOk : ExitFailure;
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
        { ParamOption(), formatOption, outputOption, allColumnsOption }, true, runRun };
}
