#include "OdbcBench.h"

#include "BenchData.h"
#include "PostgresServer.h"

#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/OdbcConnection.h"
#include "host/db/engine/OdbcStatement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <sql.h>
#include <sqlext.h>

namespace {

constexpr int kRuns = 5;
const char *kSelect = "select * from t";

// The same shape as the SQLite table: four numbers, three texts, three dates.
QString createTable(int rows)
{
    return QStringLiteral(
        "create table t as select i as id, (i * 7919) % 200 as iCount, "
        "((i * 104729) % 100000) / 100.0::double precision as nRate, "
        "(((i * 1299709) % 100000) / 100.0)::numeric(12,2) as nAmount, "
        "('C' || lpad(((i * 31) % 100)::text, 2, '0'))::varchar(10) as cCode, "
        "((array['Smith','Jones','Brown','Taylor','Wilson','Evans','Thomas','Johnson',"
        "'Roberts','Walker'])[1 + i % 10] || ' ' || (i * 13) % 5000)::varchar(40) as cName, "
        "case when i % 10 = 0 then null else (array['','weekly','monthly paid in arrears',"
        "'casual','on leave','new starter this month'])[1 + i % 6] end as cNote, "
        "date '1950-01-01' + ((i * 37) % 18000)::int as dtBirth, "
        "timestamp '2015-01-01' + ((i * 53) % 3000) * interval '1 day' "
        "+ ((i * 97) % 86400) * interval '1 second' as dtStart, "
        "timestamp '2015-01-01' + ((i * 59) % 3000) * interval '1 day' as dtPaid "
        "from generate_series(1::bigint, %1) as i")
        .arg(rows);
}

// The plainest ODBC reading of the statement on an open connection: columns bound by type,
// blocks of `blockRows`, every value touched. Returns the number of rows read, -1 on failure.
long plainFetchLoop(SQLHDBC dbc, unsigned long blockRows)
{
    SQLHSTMT stmt = nullptr;
    long rows = -1;
    if (SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt))) {
        SQLULEN fetched = 0;
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(blockRows), 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
        if (SQL_SUCCEEDED(SQLExecDirect(
                stmt, reinterpret_cast<SQLCHAR *>(const_cast<char *>(kSelect)), SQL_NTS))) {
            SQLSMALLINT count = 0;
            SQLNumResultCols(stmt, &count);
            struct Column
            {
                SQLSMALLINT cType;
                SQLLEN width;
                std::vector<char> data;
                std::vector<SQLLEN> indicators;
            };
            std::vector<Column> columns(static_cast<std::size_t>(count));
            for (SQLSMALLINT i = 0; i < count; ++i) {
                SQLCHAR name[128];
                SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
                SQLULEN size = 0;
                SQLDescribeCol(
                    stmt, i + 1, name, sizeof name, &length, &type, &size, &digits, &nullable);
                Column &column = columns[static_cast<std::size_t>(i)];
                switch (type) {
                case SQL_INTEGER:
                case SQL_BIGINT:
                case SQL_SMALLINT:
                    column.cType = SQL_C_SBIGINT;
                    column.width = 8;
                    break;
                case SQL_DOUBLE:
                case SQL_FLOAT:
                case SQL_REAL:
                case SQL_NUMERIC:
                case SQL_DECIMAL:
                    column.cType = SQL_C_DOUBLE;
                    column.width = 8;
                    break;
                case SQL_TYPE_DATE:
                    column.cType = SQL_C_TYPE_DATE;
                    column.width = sizeof(SQL_DATE_STRUCT);
                    break;
                case SQL_TYPE_TIMESTAMP:
                    column.cType = SQL_C_TYPE_TIMESTAMP;
                    column.width = sizeof(SQL_TIMESTAMP_STRUCT);
                    break;
                default:
                    column.cType = SQL_C_CHAR;
                    column.width = size == 0 || size > 4000 ? 512 : SQLLEN(size) * 4 + 1;
                    break;
                }
                column.data.resize(std::size_t(column.width) * blockRows);
                column.indicators.resize(blockRows);
                SQLBindCol(stmt, i + 1, column.cType, column.data.data(), column.width,
                    column.indicators.data());
            }
            rows = 0;
            double sum = 0;
            while (SQL_SUCCEEDED(SQLFetch(stmt))) {
                for (const Column &column : columns) {
                    for (SQLULEN row = 0; row < fetched; ++row) {
                        if (column.indicators[row] == SQL_NULL_DATA)
                            continue;
                        const char *slot = column.data.data() + column.width * row;
                        if (column.cType == SQL_C_SBIGINT)
                            sum += double(*reinterpret_cast<const std::int64_t *>(slot));
                        else if (column.cType == SQL_C_DOUBLE)
                            sum += *reinterpret_cast<const double *>(slot);
                        else if (column.cType == SQL_C_CHAR)
                            sum += double(column.indicators[row]);
                        else
                            sum += double(reinterpret_cast<const SQL_DATE_STRUCT *>(slot)->day);
                    }
                }
                rows += long(fetched);
            }
            benchmark::DoNotOptimize(sum);
        }
    }
    if (stmt)
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return rows;
}

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

bool RunOdbcBenchmark(int rows)
{
    QCoreApplication app(BenchArguments::Get().argc, BenchArguments::Get().argv);
    QString error;
    PostgresServer *server = PostgresServer::instance(error);
    std::string database;
    QByteArray output;
    if (!server || !server->createDatabase(database, error)
        || !server->psql(database, { "-c", createTable(rows) }, output, error)) {
        std::printf("ODBC benchmark: no PostgreSQL 15 server: %s\n", qPrintable(error));
        return false;
    }
    // The plain loop reads through the same driver options as the engine chooses for itself.
    const std::string connectionString
        = server->connectionString(database) + std::string(OdbcConnection::kPostgresStreaming);
    DbError dbError;
    const auto connection = OdbcConnection::open(connectionString, dbError);
    if (!connection) {
        std::printf("ODBC benchmark: %s\n", dbError.text.c_str());
        return false;
    }
    // The plain loop's own connection, made before any timing, as the query's is.
    SQLHENV env = nullptr;
    SQLHDBC dbc = nullptr;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::string text = connectionString;
    if (!SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR *>(text.data()),
            SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT))) {
        std::printf("ODBC benchmark: the plain loop cannot connect\n");
        return false;
    }
    const std::unique_ptr<void, void (*)(void *)> closer(dbc, [](void *handle) {
        SQLDisconnect(handle);
        SQLFreeHandle(SQL_HANDLE_DBC, handle);
    });
    unsigned long blockRows = 0;
    {
        const auto probe = connection->prepare(kSelect);
        if (probe && probe->step() == Statement::Step::Row)
            blockRows = static_cast<const OdbcStatement &>(*probe).blockRows();
    }

    double plain = 1e300, open = 1e300, copy = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        const long plainRows = plainFetchLoop(dbc, blockRows);
        plain = std::min(plain, elapsedMs(timer));

        timer.restart();
        {
            TQuillonADOQuery query;
            query.SetConnection(connection.get());
            query.SetSQL(kSelect);
            if (!query.Open() || query.RecordCount() != rows || plainRows != rows) {
                std::printf(
                    "ODBC benchmark: the open read %d rows, the plain loop %ld, of %d: %s\n",
                    query.RecordCount(), plainRows, rows, qPrintable(query.LastErrorText()));
                return false;
            }
            open = std::min(open, elapsedMs(timer));
        } // closing is not part of opening

        QProcess psql;
        psql.setStandardOutputFile(QProcess::nullDevice());
        timer.restart();
        psql.start(QStringLiteral("psql"),
            { "-X", "-q", "-h", "127.0.0.1", "-p", QString::number(server->port()), "-U", "qp",
                "-d", QString::fromStdString(database), "-c",
                QStringLiteral("\\copy (%1) to stdout").arg(kSelect) });
        if (!psql.waitForFinished(600000) || psql.exitCode() != 0) {
            std::printf("ODBC benchmark: psql failed: %s\n", psql.readAllStandardError().data());
            return false;
        }
        copy = std::min(copy, elapsedMs(timer));
    }
    std::printf("\nPostgreSQL through ODBC, %d rows x 10 columns, blocks of %lu rows (wall time, "
                "fastest of %d):\n",
        rows, blockRows, kRuns);
    std::printf("  %-40s %9.1f ms\n", "plain ODBC fetch loop", plain);
    std::printf("  %-40s %9.1f ms\n", "open into query", open);
    std::printf("  %-40s %9.1f ms\n", "psql \\copy (select ...) to stdout", copy);
    PrintRatio("open into query / plain ODBC loop", open / plain, 1.3, rows);
    std::printf("  %-40s %6.2fx\n", "open into query / psql \\copy", open / copy);
    return true;
}
