#include "app/cli/CliCommand.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "chart/ChartBuilder.h"
#include "chart/ChartExport.h"
#include "chart/ChartLayoutStore.h"
#include "chart/ChartModel.h"
#include "chart/ChartTemplate.h"
#include "host/core/ExportFile.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "run/ColumnLayout.h"
#include "run/EnquiryExecution.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QTextStream>

const QCommandLineOption &ParamOption();

namespace {

const QCommandLineOption outputOption(QStringList { "output", "o" },
    "The picture to write: FILE.png, FILE.svg or FILE.pdf. It is replaced only once complete.",
    "FILE");
const QCommandLineOption filterOption(QStringLiteral("filter"),
    "Chart only the rows that pass EXPR, the result grid's filter (cName = 'Smith' AND "
    "nTotal > 100).",
    "EXPR");
const QCommandLineOption widthOption(
    QStringLiteral("width"), "Width of the picture in pixels (default 800).", "W", "800");
const QCommandLineOption heightOption(
    QStringLiteral("height"), "Height of the picture in pixels (default 600).", "H", "600");

constexpr int kMaxPixels = 10000;

bool readSize(CliContext &context, QSize &size)
{
    bool wide = false, high = false;
    const int width = context.parser.value(widthOption).toInt(&wide);
    const int height = context.parser.value(heightOption).toInt(&high);
    if (!wide || !high || width < 50 || height < 50 || width > kMaxPixels || height > kMaxPixels) {
        context.err << "corvane-iq chart: --width and --height must be whole numbers from 50 to "
                    << kMaxPixels << ".\n";
        return false;
    }
    size = QSize(width, height);
    return true;
}

// The visible columns of the result window, joined as the window hands them to the chart.
bool visibleColumns(CliContext &context, const TQuillonADOQuery &query, const TqryIPEasyEnquiry &iq,
    QString &columns, QString &error)
{
    QStringList fields;
    for (int i = 0; i < query.FieldCount(); ++i)
        fields << query.FieldName(i);
    ColumnLayout layout;
    if (!ResultWindowLayout(context, fields, iq, layout, error))
        return false;
    QStringList visible;
    for (const LayoutColumn &column : layout.columns)
        if (column.visible)
            visible << column.fieldName;
    if (visible.size() < 2) {
        error = QStringLiteral("the IQ \"%1\" shows %2 column(s) in the result window; a chart "
                               "needs two, an X and a Y.")
                    .arg(iq.GetCode())
                    .arg(visible.size());
        return false;
    }
    columns = visible.join(QLatin1Char(','));
    return true;
}

int runChart(CliContext &context)
{
    const QString output = context.parser.value(outputOption);
    ChartFileFormat format;
    if (output.isEmpty() || !ChartFileFormatFor(output, format)) {
        context.err << "corvane-iq chart: --output must name a .png, .svg or .pdf file.\n";
        return ExitUsage;
    }
    QSize size;
    int timeoutSeconds = 0;
    if (!readSize(context, size) || !ReadTimeoutSeconds(context, timeoutSeconds))
        return ExitUsage;
    const QString refusal = ExportFile::Refusal(output, context.session->DatabaseFiles());
    if (!refusal.isEmpty()) {
        context.err << "corvane-iq: " << refusal << "\n";
        return ExitFailure;
    }
    // The chart window runs the grid's statement again and stores nothing: neither do we.
    TqryIPEasyEnquiry iq;
    QString sql;
    if (!PrepareWithoutStoring(context, iq, sql))
        return ExitFailure;
    TQuillonADOQuery query;
    query.SetConnection(context.session->Report(iq.GetCommonDB()));
    query.SetSQL(sql);
    query.SetCommandTimeout(timeoutSeconds);
    query.SetRetryCount(GetRetryCount());
    if (!query.Open()) {
        context.err << OneLine(RunFailureMessage(query.LastError(), kElapsedNotMeasured)) << " ("
                    << OneLine(query.LastErrorText()) << ")\n";
        return ExitFailure;
    }
    if (!query.SetFilter(context.parser.value(filterOption))) {
        context.err << "corvane-iq chart: --filter: " << OneLine(query.LastErrorText()) << "\n";
        return ExitUsage;
    }
    QString columns, error;
    if (!visibleColumns(context, query, iq, columns, error)) {
        context.err << "corvane-iq: " << error << "\n";
        return ExitFailure;
    }
    if (query.RecordCount() == 0) {
        context.err << "corvane-iq: the result has no rows to chart"
                    << (query.Filtered() ? " after the filter.\n" : ".\n");
        return ExitFailure;
    }
    // Built as the window's show builds it: stored X, Y, palette and template.
    ChartBuilder builder;
    builder.SetColumnList(columns);
    builder.SetDescription(iq.GetDescription());
    builder.SetPalette(iq.GetPalette());
    builder.PrepareCount(iq.GetXColumn(), iq.GetYColumn(), true);
    if (builder.Count() > 0)
        builder.PrepareXYColumn(iq.GetXColumn(), iq.GetYColumn(), true);
    std::optional<QByteArray> layout
        = ReadChartLayout(*context.session->Payroll(), iq.GetIDEnquiry(), error);
    if (!error.isEmpty()) {
        context.err << "corvane-iq: cannot read the IQ's chart template: " << OneLine(error)
                    << "\n";
        return ExitFailure;
    }
    // A template the window would refuse with a message is drawn as the window then draws it,
    // as bars, and said on one warning line (status 3) instead of a box.
    bool refused = false;
    if (layout) {
        Chart scratch;
        QString reason;
        if (LoadChartTemplate(*layout, scratch, reason) == TemplateLoad::Failed) {
            context.err << "corvane-iq: warning: " << OneLine(ChartTemplateMessage(reason)) << "\n";
            layout.reset();
            refused = true;
        }
    }
    Chart chart;
    if (!builder.RefreshChart(chart, query, false, true, layout, error)) {
        context.err << "corvane-iq: " << OneLine(error) << "\n";
        return ExitFailure;
    }
    if (!ExportChart(chart, size, output, error)) {
        context.err << "corvane-iq: " << OneLine(error) << "\n";
        return ExitFailure;
    }
    context.err << query.RecordCount() << " rows charted to " << output << "\n";
    return refused ? ExitWarning : ExitOk;
}

} // namespace

CliCommand ChartCommand()
{
    return { "chart",
        "Draws an IQ's chart as its chart window would show it, into a PNG, SVG or PDF file; "
        "stores nothing.",
        "CODE",
        { ParamOption(), filterOption, outputOption, widthOption, heightOption, TimeoutOption() },
        true, runChart };
}
