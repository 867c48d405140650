// How fast the rows of "t" are written out as CSV, JSON and XLSX the way corvane-iq run writes
// them (each row as it is read, through GridExportStream), against plain loops: CSV and JSON
// written the way the engine's own shell writes them (every value as sqlite3_column_text,
// through stdio), and a plain constant-memory loop of the Excel library. All write to
// /dev/null, but the workbooks, which the library builds in files of its own.
#include "ExportBench.h"

#include "BenchData.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportStream.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/SqliteConnection.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

const char *kSelect = "select * from t";

SqliteConnection &Database()
{
    static const std::unique_ptr<SqliteConnection> db = [] {
        DbError error;
        return SqliteConnection::open(BenchFile(), SqliteConnection::OpenMode::ReadOnly, error);
    }();
    return *db;
}

sqlite3_stmt *Select()
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(Database().handle(), kSelect, -1, &statement, nullptr);
    return statement;
}

void PutCsvField(std::FILE *out, const char *text)
{
    if (!std::strpbrk(text, ",\"\r\n")) {
        std::fputs(text, out);
        return;
    }
    std::fputc('"', out);
    for (const char *c = text; *c; ++c) {
        if (*c == '"')
            std::fputc('"', out);
        std::fputc(*c, out);
    }
    std::fputc('"', out);
}

void PutJsonString(std::FILE *out, const char *text)
{
    std::fputc('"', out);
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c; ++c) {
        if (*c == '"' || *c == '\\') {
            std::fputc('\\', out);
            std::fputc(*c, out);
        } else if (*c < 0x20) {
            std::fprintf(out, "\\u%04x", *c);
        } else {
            std::fputc(*c, out);
        }
    }
    std::fputc('"', out);
}

void PlainCsvLoop(benchmark::State &bench)
{
    for (auto _ : bench) {
        std::FILE *out = std::fopen("/dev/null", "w");
        sqlite3_stmt *statement = Select();
        const int columns = sqlite3_column_count(statement);
        for (int column = 0; column < columns; ++column) {
            if (column > 0)
                std::fputc(',', out);
            PutCsvField(out, sqlite3_column_name(statement, column));
        }
        std::fputs("\r\n", out);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < columns; ++column) {
                if (column > 0)
                    std::fputc(',', out);
                const auto *text
                    = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
                if (text)
                    PutCsvField(out, text);
            }
            std::fputs("\r\n", out);
        }
        sqlite3_finalize(statement);
        std::fclose(out);
    }
}

void PlainJsonLoop(benchmark::State &bench)
{
    for (auto _ : bench) {
        std::FILE *out = std::fopen("/dev/null", "w");
        sqlite3_stmt *statement = Select();
        const int columns = sqlite3_column_count(statement);
        bool first = true;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::fputs(first ? "[{" : ",\n{", out);
            first = false;
            for (int column = 0; column < columns; ++column) {
                if (column > 0)
                    std::fputc(',', out);
                PutJsonString(out, sqlite3_column_name(statement, column));
                std::fputc(':', out);
                const int type = sqlite3_column_type(statement, column);
                const auto *text
                    = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
                if (type == SQLITE_NULL)
                    std::fputs("null", out);
                else if (type == SQLITE_TEXT)
                    PutJsonString(out, text);
                else
                    std::fputs(text, out);
            }
            std::fputc('}', out);
        }
        std::fputs("]\n", out);
        sqlite3_finalize(statement);
        std::fclose(out);
    }
}

void PlainXlsxLoop(benchmark::State &bench)
{
    const std::string path = BenchFile() + ".xlsx";
    for (auto _ : bench) {
        lxw_workbook_options options {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *workbook = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
        sqlite3_stmt *statement = Select();
        const int columns = sqlite3_column_count(statement);
        for (int column = 0; column < columns; ++column)
            worksheet_write_string(
                sheet, 0, lxw_col_t(column), sqlite3_column_name(statement, column), nullptr);
        lxw_row_t row = 1;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < columns; ++column) {
                const lxw_col_t col = lxw_col_t(column);
                switch (sqlite3_column_type(statement, column)) {
                case SQLITE_INTEGER:
                case SQLITE_FLOAT:
                    worksheet_write_number(
                        sheet, row, col, sqlite3_column_double(statement, column), nullptr);
                    break;
                case SQLITE_TEXT:
                    worksheet_write_string(sheet, row, col,
                        reinterpret_cast<const char *>(sqlite3_column_text(statement, column)),
                        nullptr);
                    break;
                default:
                    break;
                }
            }
            ++row;
        }
        sqlite3_finalize(statement);
        workbook_close(workbook);
    }
    std::remove(path.c_str());
}

// The command-line run's writing: every field, under its own name.
void Export(benchmark::State &bench, GridExportFormat format)
{
    for (auto _ : bench) {
        ExportFile file(QStringLiteral("/dev/null"));
        GridExportStream stream(format, file, {}, GridExportStream::EveryField());
        TQuillonADOQuery query;
        query.SetConnection(&Database());
        query.SetSQL(kSelect);
        QString error;
        if (!query.Stream(stream) || !stream.Finish(error)) {
            error = stream.Stopped() ? stream.Error()
                : error.isEmpty()    ? query.LastErrorText()
                                     : error;
            bench.SkipWithError(error.toUtf8().constData());
            break;
        }
    }
}

void ExportCsv(benchmark::State &bench)
{
    Export(bench, GridExportFormat::Csv);
}

void ExportJson(benchmark::State &bench)
{
    Export(bench, GridExportFormat::Json);
}

void ExportXlsx(benchmark::State &bench)
{
    Export(bench, GridExportFormat::Xlsx);
}

QP_BENCH(PlainCsvLoop);
QP_BENCH(ExportCsv);
QP_BENCH(PlainJsonLoop);
QP_BENCH(ExportJson);
QP_BENCH(PlainXlsxLoop);
QP_BENCH(ExportXlsx);

} // namespace

void PrintExportRatios(const std::map<std::string, double> &times, int rows)
{
    const auto ratio = [&](const char *what, const char *ours, const char *plain, double target) {
        if (times.count(ours) && times.count(plain))
            PrintRatio(what, times.at(ours) / times.at(plain), target, rows);
    };
    ratio("CSV export / plain CSV loop", "ExportCsv", "PlainCsvLoop", 1.0);
    ratio("JSON export / plain JSON loop", "ExportJson", "PlainJsonLoop", 1.0);
    ratio("XLSX export / plain Excel library loop", "ExportXlsx", "PlainXlsxLoop", 1.2);
}
