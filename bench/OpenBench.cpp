// How fast and how small a result opens, and how fast the grid's filter runs, against the
// plainest code that reads the same values. Prints the ratios with their targets at the end.
#include "BenchData.h"
#include "ChartBench.h"
#include "EditBench.h"
#include "ExchangeBench.h"
#include "ExportBench.h"
#include "GridBench.h"
#include "OdbcBench.h"
#include "ViewBench.h"

#include "host/db/dataset/ChunkAllocator.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/SqliteConnection.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <sqlite3.h>
#include <unistd.h>

namespace {

const char *kSelect = "select * from t";
const char *kFilter = "nAmount > 500 AND cCode = 'C07'";

struct BenchState
{
    std::unique_ptr<SqliteConnection> db;
    std::unique_ptr<TQuillonADOQuery> opened; // for the filter runs
};

BenchState &state()
{
    static BenchState shared;
    return shared;
}

void PlainStepLoop(benchmark::State &bench)
{
    sqlite3 *db = state().db->handle();
    for (auto _ : bench)
        benchmark::DoNotOptimize(PlainStepLoopOnce(db, kSelect));
}

// A new query every time, after another query's result was closed (outside the timing): its
// buffers are kept and serve the new result, as when a person closes a window and runs the
// next IQ. `cold` gives them back first, so that every page is one the system has to provide,
// as for the first result of a session.
void OpenNewQuery(benchmark::State &bench, bool cold)
{
    for (auto _ : bench) {
        bench.PauseTiming();
        if (cold)
            releaseKeptChunkMemory();
        auto query = std::make_unique<TQuillonADOQuery>();
        query->SetConnection(state().db.get());
        query->SetSQL(kSelect);
        bench.ResumeTiming();
        if (!query->Open()) {
            bench.SkipWithError(query->LastErrorText().toUtf8().constData());
            break;
        }
        benchmark::DoNotOptimize(query->RecordCount());
        bench.PauseTiming();
        query.reset();
        bench.ResumeTiming();
    }
}

void QueryOpen(benchmark::State &bench)
{
    OpenNewQuery(bench, false);
}

void QueryOpenCold(benchmark::State &bench)
{
    OpenNewQuery(bench, true);
}

// The same query opened again, as a refresh does: the new result refills the old one's pages.
void QueryReopen(benchmark::State &bench)
{
    TQuillonADOQuery query;
    query.SetConnection(state().db.get());
    query.SetSQL(kSelect);
    query.Open();
    for (auto _ : bench) {
        if (!query.Open()) {
            bench.SkipWithError(query.LastErrorText().toUtf8().constData());
            break;
        }
        benchmark::DoNotOptimize(query.RecordCount());
    }
}

void PlainColumnPass(benchmark::State &bench)
{
    const ResultColumns &columns = *state().opened->ColumnStore();
    const ResultColumn &amount = columns.column(columns.indexOf("nAmount"));
    const ResultColumn &code = columns.column(columns.indexOf("cCode"));
    const std::size_t rows = columns.rowCount();
    for (auto _ : bench) {
        double sum = 0;
        std::size_t length = 0;
        for (std::size_t row = 0; row < rows; ++row) {
            if (!amount.isNull(row))
                sum += amount.realAt(row);
            if (!code.isNull(row))
                length += code.textAt(row).size();
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(length);
    }
}

void RecordFilterPass(benchmark::State &bench)
{
    TQuillonADOQuery &query = *state().opened;
    for (auto _ : bench) {
        if (!query.SetFilter(kFilter)) {
            bench.SkipWithError(query.LastErrorText().toUtf8().constData());
            break;
        }
        benchmark::DoNotOptimize(query.RecordCount());
    }
}

// The open may hand work to a helper thread (faulting in the pages of the next chunk), so these
// three are judged by the time a person waits, and their CPU column counts every thread of the
// process.
QP_BENCH(PlainStepLoop)->UseRealTime()->MeasureProcessCPUTime();
QP_BENCH(QueryOpen)->UseRealTime()->MeasureProcessCPUTime();
QP_BENCH(QueryOpenCold)->UseRealTime()->MeasureProcessCPUTime();
QP_BENCH(QueryReopen)->UseRealTime()->MeasureProcessCPUTime();
QP_BENCH(PlainColumnPass);
QP_BENCH(RecordFilterPass);

// Shows every run as usual and keeps the fastest CPU time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate
                && run.aggregate_name == "min") {
                times[run.run_name.function_name] = run.GetAdjustedCPUTime();
                wallTimes[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }
    std::map<std::string, double> times;
    std::map<std::string, double> wallTimes;
};

// Takes "--rows=N" out of argv before the benchmark library sees it.
int takeRows(int &argc, char **argv)
{
    int rows = 1000000;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rows=", 7) == 0)
            rows = std::max(1, std::atoi(argv[i] + 7));
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return rows;
}

} // namespace

// Above a million rows, what a result of that size meets: open, filter, sort, save and the
// window. The workbook, the exchange file, the editor, the chart and the server are measured
// at a million rows; at ten million they would take the better part of an hour.
constexpr int kLargeRows = 1000000;
char kLargeFilter[]
    = "--benchmark_filter=^(PlainStepLoop|QueryOpen|QueryOpenCold|QueryReopen|PlainColumnPass|"
      "RecordFilterPass|PlainCsvLoop|ExportCsv|PlainTextSort|GridTextSort|"
      "PlainTextPass|GridFilterClear|GridSaveCsv)/";

int main(int argc, char **argv)
{
    const int rows = takeRows(argc, argv);
    const bool large = rows > kLargeRows;
    std::vector<char *> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave); // a later flag of the caller's wins
    if (large)
        arguments.insert(arguments.begin() + 2, kLargeFilter);
    arguments.push_back(nullptr);
    argc = static_cast<int>(arguments.size()) - 1;
    argv = arguments.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    const std::filesystem::path file = std::filesystem::temp_directory_path()
        / ("qp_bench_" + std::to_string(::getpid()) + ".db");
    std::string error;
    std::printf("Creating %d rows x 10 columns in %s ...\n", rows, file.c_str());
    BenchFile() = file.string();
    if (!CreateBenchDatabase(file.string(), rows, error)) {
        std::fprintf(stderr, "qp_bench: %s\n", error.c_str());
        return 1;
    }
    DbError openError;
    state().db
        = SqliteConnection::open(file.string(), SqliteConnection::OpenMode::ReadOnly, openError);
    state().opened = std::make_unique<TQuillonADOQuery>();
    state().opened->SetConnection(state().db.get());
    state().opened->SetSQL(kSelect);
    if (!state().db || !state().opened->Open()) {
        std::fprintf(stderr, "qp_bench: %s\n",
            state().db ? state().opened->LastErrorText().toUtf8().constData()
                       : openError.text.c_str());
        return 1;
    }

    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const ResultColumns &columns = *state().opened->ColumnStore();
    const double memory = static_cast<double>(columns.memoryBytes());
    const double values = static_cast<double>(columns.valueBytes());
    std::printf("\nSummary for %d rows (CPU time per run):\n", rows);
    PrintRatio("result memory / value size", memory / values, 1.2, rows);
    std::printf(
        "  %-40s %.1f MB for %.1f MB of values\n", "", memory / 1048576.0, values / 1048576.0);
    auto &t = reporter.times;
    auto &wall = reporter.wallTimes;
    const std::pair<const char *, const char *> opens[] = {
        { "QueryOpen", "open into query / plain step loop (wall)" },
        { "QueryOpenCold", "first open (no kept pages) / plain loop" },
        { "QueryReopen", "reopen (refresh) / plain step loop (wall)" },
    };
    for (const auto &[open, what] : opens) {
        if (!t.count("PlainStepLoop") || !t.count(open))
            continue;
        PrintRatio(what, wall[open] / wall["PlainStepLoop"], 1.1, rows);
        std::printf("  %-40s %6.2fx   (%.1f / %.1f ms of CPU, every thread)\n",
            "  the same in CPU time", t[open] / t["PlainStepLoop"], t[open], t["PlainStepLoop"]);
    }
    if (t.count("PlainColumnPass") && t.count("RecordFilterPass"))
        PrintRatio("two-condition filter / plain pass",
            t["RecordFilterPass"] / t["PlainColumnPass"], 1.5, rows);
    PrintExportRatios(t, rows);
    PrintExchangeRatios(t, rows);
    PrintGridRatios(t, rows);
    ReleaseGridBench();

    state().opened.reset();
    state().db.reset();
    // The same rows once more, the way a person sees them: through the result window.
    const bool viewRan = RunViewBenchmark(file.string(), rows);
    std::filesystem::remove(file);
    if (large)
        std::printf(
            "\nAbove %d rows the editor, chart and server parts are left out.\n", kLargeRows);
    const bool editorRan = large || RunEditorBenchmarks(rows);
    const bool chartRan = large || RunChartBenchmark();
    const bool odbcRan = large || RunOdbcBenchmark(rows);
    benchmark::Shutdown();
    return viewRan && editorRan && chartRan && odbcRan ? 0 : 1;
}
