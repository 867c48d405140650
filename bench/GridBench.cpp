// The grid's sort by a text column and the clearing of its filter, against a plain std::sort of
// the same texts as string_views with the same comparison, and one plain pass over the column.
#include "GridBench.h"

#include "BenchData.h"

#include "host/core/GridExport.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/RowSort.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/SqliteConnection.h"
#include "host/ui/TmxGridModel.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace {

const char *kSortField = "cName";
const char *kFilter = "nAmount > 500 AND cCode = 'C07'";

// Its own rows: a grid model on the shared query would also follow the other benchmarks'
// filters.
struct GridRows
{
    std::unique_ptr<SqliteConnection> db;
    std::unique_ptr<TQuillonADOQuery> query;
};

GridRows &rows()
{
    static GridRows shared;
    if (!shared.query) {
        DbError error;
        shared.db
            = SqliteConnection::open(BenchFile(), SqliteConnection::OpenMode::ReadOnly, error);
        shared.query = std::make_unique<TQuillonADOQuery>();
        shared.query->SetConnection(shared.db.get());
        shared.query->SetSQL("select * from t");
        if (!shared.db || !shared.query->Open())
            shared.query.reset();
    }
    return shared;
}

const ResultColumn *sortColumn()
{
    const TQuillonADOQuery *query = rows().query.get();
    if (!query)
        return nullptr;
    const ResultColumns &columns = *query->ColumnStore();
    return &columns.column(columns.indexOf(kSortField));
}

// What a person would write: the texts as views, sorted with the same comparison.
void PlainTextSort(benchmark::State &bench)
{
    const ResultColumn *column = sortColumn();
    if (!column) {
        bench.SkipWithError("the rows did not open");
        return;
    }
    for (auto _ : bench) {
        std::vector<std::string_view> texts;
        texts.reserve(column->size());
        for (std::size_t row = 0; row < column->size(); ++row)
            texts.push_back(column->isNull(row) ? std::string_view() : column->textAt(row));
        std::sort(texts.begin(), texts.end(), RowSort::lessFolded);
        benchmark::DoNotOptimize(texts.data());
    }
}

// A header click on the text column of a fresh grid model: every key read and sorted.
void GridTextSort(benchmark::State &bench)
{
    TQuillonADOQuery *query = rows().query.get();
    if (!query) {
        bench.SkipWithError("the rows did not open");
        return;
    }
    query->SetFilter(QString());
    for (auto _ : bench) {
        bench.PauseTiming();
        auto model = std::make_unique<TmxGridModel>();
        model->SetDataSet(query);
        const int column = model->AddColumn(kSortField, kSortField);
        bench.ResumeTiming();
        model->sort(column, Qt::AscendingOrder);
        benchmark::DoNotOptimize(model->RecordOfRow(0));
        bench.PauseTiming();
        model.reset();
        bench.ResumeTiming();
    }
}

void PlainTextPass(benchmark::State &bench)
{
    const ResultColumn *column = sortColumn();
    if (!column) {
        bench.SkipWithError("the rows did not open");
        return;
    }
    for (auto _ : bench) {
        std::size_t length = 0;
        for (std::size_t row = 0; row < column->size(); ++row)
            length += column->isNull(row) ? 0 : column->textAt(row).size();
        benchmark::DoNotOptimize(length);
    }
}

// The filter of a grid sorted by the text column is cleared: all rows come back, in order.
void GridFilterClear(benchmark::State &bench)
{
    TQuillonADOQuery *query = rows().query.get();
    if (!query) {
        bench.SkipWithError("the rows did not open");
        return;
    }
    TmxGridModel model;
    model.SetDataSet(query);
    model.sort(model.AddColumn(kSortField, kSortField), Qt::AscendingOrder);
    for (auto _ : bench) {
        bench.PauseTiming();
        query->SetFilter(kFilter);
        bench.ResumeTiming();
        query->SetFilter(QString());
        benchmark::DoNotOptimize(model.rowCount());
    }
}

// Save Grid of the whole result, sorted by the text column, as CSV: every visible value from the
// column store in display order (the plain counterpart is the export's PlainCsvLoop).
void GridSaveCsv(benchmark::State &bench)
{
    TQuillonADOQuery *query = rows().query.get();
    if (!query) {
        bench.SkipWithError("the rows did not open");
        return;
    }
    query->SetFilter(QString());
    TmxGridModel model;
    model.SetDataSet(query);
    std::vector<GridExportColumn> columns;
    int sortColumn = -1;
    for (int field = 0; field < query->FieldCount(); ++field) {
        const QString name = query->FieldName(field);
        columns.push_back({ name, name });
        const int column = model.AddColumn(name, name);
        if (name == QLatin1String(kSortField))
            sortColumn = column;
    }
    model.sort(sortColumn, Qt::AscendingOrder);
    for (auto _ : bench) {
        GridExportOptions options;
        options.rows = model.DataRowsInOrder();
        QString error;
        if (!GridExport::Write(*query, columns, GridExportFormat::Csv, QStringLiteral("/dev/null"),
                options, error)) {
            bench.SkipWithError(error.toUtf8().constData());
            break;
        }
    }
}

} // namespace

QP_BENCH(PlainTextSort);
QP_BENCH(GridTextSort);
QP_BENCH(PlainTextPass);
QP_BENCH(GridFilterClear);
QP_BENCH(GridSaveCsv);

void PrintGridRatios(const std::map<std::string, double> &times, int rows)
{
    auto ratio = [&](const char *what, const char *measured, const char *plain) {
        if (times.count(measured) && times.count(plain))
            PrintRatio(what, times.at(measured) / times.at(plain), 1.5, rows);
    };
    ratio("grid text sort / plain std::sort", "GridTextSort", "PlainTextSort");
    ratio("grid filter cleared / plain pass", "GridFilterClear", "PlainTextPass");
    if (times.count("GridSaveCsv") && times.count("PlainCsvLoop"))
        PrintRatio("Save Grid as CSV (sorted) / plain CSV loop",
            times.at("GridSaveCsv") / times.at("PlainCsvLoop"), 1.5, rows);
}

void ReleaseGridBench()
{
    rows().query.reset();
    rows().db.reset();
}
