// How fast the IQ exchange file is imported and exported, against plain loops over the same
// rows: prepared inserts in one transaction, and a sqlite3_step loop reading every column. The
// IQs are made once in a payroll database of their own: one per 100 rows of "t" (10,000 at a
// million rows), each with 10 column rows and 3 parameter rows. Imports run as dry runs (all
// rows written, then rolled back), and so do the plain inserts, so every run starts empty.
#include "ExchangeBench.h"

#include "BenchData.h"

#include "exchange/EasyXMLReader.h"
#include "exchange/EasyXMLWriter.h"
#include "host/db/engine/SqliteConnection.h"
#include "store/Schema.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include <malloc.h>
#include <sqlite3.h>

namespace {

struct ExchangeData
{
    std::string sourcePath;
    std::string targetPath;
    std::unique_ptr<SqliteConnection> source; // the IQs
    std::unique_ptr<SqliteConnection> target; // empty schema, imports roll back
    QByteArray file; // the export of every IQ
    int enquiries = 0;
    std::string error;

    ~ExchangeData()
    {
        source.reset();
        target.reset();
        for (const std::string &path : { sourcePath, targetPath }) {
            if (!path.empty()) {
                std::filesystem::remove(path);
                std::filesystem::remove(path.substr(0, path.size() - 3) + ".agents.db");
            }
        }
    }
};

std::unique_ptr<SqliteConnection> MakePayroll(const std::string &path, std::string &error)
{
    DbError openError;
    auto connection
        = SqliteConnection::open(path, SqliteConnection::OpenMode::ReadWriteCreate, openError);
    QString schemaError;
    if (!connection || !EnsureSchema(*connection, DatabaseKind::Payroll, schemaError)) {
        error = connection ? schemaError.toStdString() : openError.text;
        return nullptr;
    }
    return connection;
}

bool FillEnquiries(Connection &db, int count, std::string &error)
{
    DbError failure;
    Transaction transaction(db);
    auto main = db.prepare("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, "
                           "bCommonDB, iIQTypeID, cXColumn, cYColumn, iPalette, nChartLayout) "
                           "VALUES (?, ?, ?, 0, 1, 'cCode', 'nAmount,nHours', 2, ?)");
    auto column = db.prepare("INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, "
                             "bShow, iOrder) VALUES (?, ?, ?, ?)");
    auto param = db.prepare("INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, "
                            "iSQLTypeID, dtValue, cValue) VALUES (?, ?, ?, ?, ?)");
    if (!main || !column || !param) {
        error = db.lastError().text;
        return false;
    }
    const Blob layout { std::vector<unsigned char>(600, 0x5A) };
    for (int i = 0; i < count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "B%06d", i);
        if (!main->run({ std::string(code), "Pay by department & location < " + std::to_string(i),
                           "SELECT cCode, nAmount, nHours, dtPaid FROM t\r\nWHERE nAmount > "
                           "@MinAmount AND dtPaid BETWEEN @From AND @To\r\nORDER BY cCode",
                           layout },
                failure))
            break;
        const std::int64_t id = db.lastInsertId();
        for (int c = 0; c < 10; ++c)
            column->run({ id, "cColumn" + std::to_string(c), std::int64_t(c % 3 != 0),
                            std::int64_t(c + 1) },
                failure);
        param->run({ id, std::string("MinAmount"), std::int64_t(3), Value(), std::string("100") },
            failure);
        param->run({ id, std::string("From"), std::int64_t(2), std::string("2024-01-01 00:00:00"),
                       Value() },
            failure);
        param->run(
            { id, std::string("To"), std::int64_t(2), std::string("2024-12-31 00:00:00"), Value() },
            failure);
    }
    if (!failure.text.empty() || !transaction.commit()) {
        error = failure.text.empty() ? db.lastError().text : failure.text;
        return false;
    }
    return true;
}

void Make(ExchangeData &made)
{
    {
        sqlite3 *bench = nullptr;
        int rows = 0;
        if (sqlite3_open_v2(BenchFile().c_str(), &bench, SQLITE_OPEN_READONLY, nullptr)
            == SQLITE_OK) {
            sqlite3_stmt *count = nullptr;
            sqlite3_prepare_v2(bench, "select count(*) from t", -1, &count, nullptr);
            if (sqlite3_step(count) == SQLITE_ROW)
                rows = sqlite3_column_int(count, 0);
            sqlite3_finalize(count);
        }
        sqlite3_close(bench);
        made.enquiries = std::clamp(rows / 100, 100, 10000);
        made.sourcePath = BenchFile() + ".iq-source.db";
        made.targetPath = BenchFile() + ".iq-target.db";
        made.source = MakePayroll(made.sourcePath, made.error);
        if (made.source)
            made.target = MakePayroll(made.targetPath, made.error);
        if (!made.target || !FillEnquiries(*made.source, made.enquiries, made.error))
            return;
        std::string text;
        QString error;
        if (!EasyXMLFromDataSet(*made.source, true, {}, text, error))
            made.error = error.toStdString();
        made.file = QByteArray::fromStdString(EncodeSimpleXmlFile(std::move(text)));
    }
}

ExchangeData &Data()
{
    static ExchangeData data;
    static const bool made = (Make(data), true);
    (void)made;
    return data;
}

bool Ready(benchmark::State &bench)
{
    if (Data().error.empty())
        return true;
    bench.SkipWithError(Data().error.c_str());
    return false;
}

// The rows of the source as values, ready to bind: what a plain import would have parsed.
struct PlainRows
{
    std::vector<std::vector<Value>> main;
    std::vector<std::vector<std::vector<Value>>> columns;
    std::vector<std::vector<std::vector<Value>>> params;
};

const PlainRows &Rows()
{
    static const PlainRows rows = [] {
        PlainRows made;
        Connection &db = *Data().source;
        DbError error;
        const auto read = [&](const char *sql, int from, std::vector<std::vector<Value>> &out) {
            auto statement = db.prepare(sql);
            while (statement && statement->step() == Statement::Step::Row) {
                std::vector<Value> row;
                for (int c = from; c < statement->columnCount(); ++c) {
                    if (statement->isNull(c))
                        row.emplace_back();
                    else if (statement->valueType(c) == FieldType::Integer)
                        row.emplace_back(statement->asInt64(c));
                    else if (statement->valueType(c) == FieldType::Blob)
                        row.emplace_back(statement->asBlob(c));
                    else
                        row.emplace_back(std::string(statement->asText(c)));
                }
                out.push_back(std::move(row));
            }
        };
        read("SELECT cCode, cDescription, cSQLStatement, bCommonDB, iIQTypeID, cXColumn, "
             "cYColumn, iPalette, nChartLayout FROM _iptblEasyEnquiry ORDER BY idEnquiry",
            0, made.main);
        std::vector<std::vector<Value>> columns;
        std::vector<std::vector<Value>> params;
        read("SELECT cColumnName, bShow, iOrder FROM _iptblEasyEnquiryColumn ORDER BY "
             "idEnquiryColumn",
            0, columns);
        read("SELECT cDescription, iSQLTypeID, dtValue, cValue FROM _iptblEasyEnquiryParam "
             "ORDER BY idEnquiryParam",
            0, params);
        made.columns.resize(made.main.size());
        made.params.resize(made.main.size());
        for (std::size_t i = 0; i < columns.size(); ++i)
            made.columns[i / 10].push_back(columns[i]);
        for (std::size_t i = 0; i < params.size(); ++i)
            made.params[i / 3].push_back(params[i]);
        return made;
    }();
    return rows;
}

void PlainImportInserts(benchmark::State &bench)
{
    if (!Ready(bench))
        return;
    const PlainRows &rows = Rows();
    Connection &db = *Data().target;
    for (auto _ : bench) {
        DbError error;
        Transaction transaction(db); // rolled back: the next run starts empty too
        auto main = db.prepare("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, "
                               "cSQLStatement, bCommonDB, iIQTypeID, cXColumn, cYColumn, "
                               "iPalette, nChartLayout) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
        auto column = db.prepare("INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, "
                                 "cColumnName, bShow, iOrder) VALUES (?, ?, ?, ?)");
        auto param = db.prepare("INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, "
                                "iSQLTypeID, dtValue, cValue) VALUES (?, ?, ?, ?, ?)");
        for (std::size_t i = 0; i < rows.main.size(); ++i) {
            main->run(rows.main[i], error);
            const Value id = db.lastInsertId();
            for (const auto &values : rows.columns[i]) {
                column->bind(1, id);
                for (std::size_t v = 0; v < values.size(); ++v)
                    column->bind(int(v) + 2, values[v]);
                column->step();
                column->reset();
            }
            for (const auto &values : rows.params[i]) {
                param->bind(1, id);
                for (std::size_t v = 0; v < values.size(); ++v)
                    param->bind(int(v) + 2, values[v]);
                param->step();
                param->reset();
            }
        }
        if (!error.text.empty()) {
            bench.SkipWithError(error.text.c_str());
            break;
        }
    }
}

void ImportFile(benchmark::State &bench)
{
    if (!Ready(bench))
        return;
    for (auto _ : bench) {
        QByteArray text;
        QString error;
        DecodeSimpleXmlFile(Data().file, text, error);
        const ImportOutcome outcome = EasyDataSetFromXML(*Data().target, text, true);
        if (outcome.Failed() || outcome.accepted != Data().enquiries) {
            bench.SkipWithError(outcome.error.toUtf8().constData());
            break;
        }
    }
}

void PlainExportStep(benchmark::State &bench)
{
    if (!Ready(bench))
        return;
    sqlite3 *db = Data().source->handle();
    for (auto _ : bench) {
        std::size_t sum = 0;
        for (const char *sql : { "select * from _iptblEasyEnquiry",
                 "select * from _iptblEasyEnquiryColumn", "select * from _iptblEasyEnquiryParam" })
            sum += PlainStepLoopOnce(db, sql);
        benchmark::DoNotOptimize(sum);
    }
}

void ExportFile(benchmark::State &bench)
{
    if (!Ready(bench))
        return;
    for (auto _ : bench) {
        std::string text;
        QString error;
        if (!EasyXMLFromDataSet(*Data().source, true, {}, text, error)) {
            bench.SkipWithError(error.toUtf8().constData());
            break;
        }
        benchmark::DoNotOptimize(EncodeSimpleXmlFile(std::move(text)).size());
    }
}

QP_BENCH(PlainImportInserts);
QP_BENCH(ImportFile);
QP_BENCH(PlainExportStep);
QP_BENCH(ExportFile);

// A line of /proc/self/status in kB ("VmHWM:", "VmRSS:"); -1 when unknown.
long StatusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').first().toLong();
    }
    return -1;
}

} // namespace

void PrintExchangeRatios(const std::map<std::string, double> &times, int rows)
{
    if (!Data().error.empty())
        return;
    std::printf("  IQ exchange: %d IQs, each with 10 column and 3 parameter rows, a file of %.1f "
                "MB\n",
        Data().enquiries, Data().file.size() / 1048576.0);
    const auto ratio = [&](const char *what, const char *measured, const char *plain) {
        if (times.count(measured) && times.count(plain))
            PrintRatio(what, times.at(measured) / times.at(plain), 2.0, rows);
    };
    ratio("import / plain prepared inserts", "ImportFile", "PlainImportInserts");
    ratio("export / plain step loop", "ExportFile", "PlainExportStep");
    // Peak memory of one import above what the process held before it ("5" resets the peak).
    // Memory the benchmarks above freed goes back first, or the import would reuse it unseen.
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly) && clear.write("5") == 1) {
        clear.close();
        const long before = StatusKb("VmRSS:");
        QByteArray text;
        QString error;
        QByteArray file = Data().file;
        file.detach();
        DecodeSimpleXmlFile(std::move(file), text, error);
        EasyDataSetFromXML(*Data().target, text, true);
        text.clear();
        const long peak = StatusKb("VmHWM:");
        std::printf("  %-40s %.1f MB above the %.1f MB before it, for a file of %.1f MB\n",
            "import peak memory", (peak - before) / 1024.0, before / 1024.0,
            Data().file.size() / 1048576.0);
    }
}
