// Random statements through the IQ checker; every one that passes runs on a report connection
// over throwaway demo databases. The canary: no run may change a database file, and no cell may
// show one of the agents' password hashes, as text or in hexadecimal.
// Input: one byte (bit 0: the common database's report connection, else the payroll one), then
// the statement.
#include "host/db/engine/SqliteConnection.h"
#include "host/db/security/TSqlSecurityChecker.h"
#include "store/CredentialStore.h"
#include "store/Databases.h"
#include "store/DemoData.h"

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMaxStatement = 2048;
constexpr int kMaxRows = 2000;

std::optional<HostDatabases> g_databases;
// Plain read-only connections that watch the files: "PRAGMA data_version" moves when any other
// connection commits a change.
std::vector<std::unique_ptr<SqliteConnection>> g_watchers;
std::vector<std::int64_t> g_versions;

std::int64_t DataVersion(SqliteConnection &connection)
{
    std::int64_t version = -1;
    DbError error;
    connection.forEachRow(
        "PRAGMA data_version", {},
        [&](const Statement &row) {
            version = row.asInt64(0);
            return false;
        },
        error);
    return version;
}

// The agents' real hashes, as text and in hexadecimal (either case). They are looked for by a
// rolling hash so that the fuzzer's comparison hints never hand it the text itself: a statement
// that merely writes "$argon2..." as a literal is no leak.
struct Needle
{
    std::string text;
    std::uint64_t hash = 0;
    std::uint64_t power = 1; // kBase ^ (length - 1)
};
std::vector<Needle> g_needles;
constexpr std::uint64_t kBase = 1000003;

std::uint64_t Roll(std::uint64_t hash, unsigned char c)
{
    return hash * kBase + c;
}

void AddNeedle(std::string text)
{
    Needle needle;
    for (const char c : text)
        needle.hash = Roll(needle.hash, static_cast<unsigned char>(c));
    for (std::size_t i = 1; i < text.size(); ++i)
        needle.power *= kBase;
    needle.text = std::move(text);
    g_needles.push_back(std::move(needle));
}

bool ShowsAHash(std::string_view cell)
{
    for (const Needle &needle : g_needles) {
        const std::size_t length = needle.text.size();
        if (cell.size() < length)
            continue;
        std::uint64_t hash = 0;
        for (std::size_t i = 0; i < length; ++i)
            hash = Roll(hash, static_cast<unsigned char>(cell[i]));
        for (std::size_t start = 0;; ++start) {
            if (hash == needle.hash && cell.substr(start, length) == needle.text)
                return true;
            if (start + length >= cell.size())
                break;
            hash = Roll(hash - needle.power * static_cast<unsigned char>(cell[start]),
                static_cast<unsigned char>(cell[start + length]));
        }
    }
    return false;
}

void ReadNeedles(const QString &payrollFile)
{
    DbError error;
    auto credentials = SqliteConnection::open(CredentialStore(payrollFile).File().toStdString(),
        SqliteConnection::OpenMode::ReadOnly, error);
    if (credentials) {
        credentials->forEachRow(
            "select cPasswordHash from _rtblAgentCredentials", {},
            [](const Statement &row) {
                const QByteArray hash(row.asText(0).data(), qsizetype(row.asText(0).size()));
                AddNeedle(hash.toStdString());
                AddNeedle(hash.toHex().toUpper().toStdString());
                AddNeedle(hash.toHex().toStdString());
                return true;
            },
            error);
    }
    if (g_needles.empty()) {
        std::fprintf(stderr, "The agents' hashes cannot be read: %s\n", error.text.c_str());
        std::abort();
    }
}

[[noreturn]] void Fail(const char *what, const std::string &sql)
{
    std::fprintf(stderr, "%s\nstatement: %s\n", what, sql.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    QString error;
    const QString payroll = dir.filePath("payroll.db");
    const QString common = dir.filePath("common.db");
    g_databases = OpenHostDatabases(payroll, common, true, error);
    DemoOptions options;
    options.employees = 30;
    options.payslipsPerEmployee = 2;
    options.fastPasswordHashing = true;
    if (!g_databases
        || !CreateDemoData(*g_databases->payroll, *g_databases->common, options, error)) {
        std::fprintf(stderr, "The fuzz databases cannot be made: %s\n", qPrintable(error));
        std::abort();
    }
    ReadNeedles(payroll);
    for (const QString &file : QDir(dir.path()).entryList(QDir::Files)) {
        DbError dbError;
        auto watcher = SqliteConnection::open(
            dir.filePath(file).toStdString(), SqliteConnection::OpenMode::ReadOnly, dbError);
        if (!watcher)
            continue; // a journal or another file that is no database
        g_versions.push_back(DataVersion(*watcher));
        g_watchers.push_back(std::move(watcher));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2 || size > kMaxStatement)
        return 0;
    const std::string sql(reinterpret_cast<const char *>(data + 1), size - 1);
    Connection &report = data[0] & 1 ? *g_databases->reportCommon : *g_databases->reportPayroll;

    TSqlSecurityChecker checker;
    if (checker.SecurityCheckSuccessful(report, QString::fromStdString(sql))) {
        report.setCommandTimeout(std::chrono::milliseconds(200));
        if (auto statement = report.prepare(sql)) {
            for (int row = 0; row < kMaxRows && statement->step() == Statement::Step::Row; ++row) {
                for (int column = 0; column < statement->columnCount(); ++column) {
                    if (ShowsAHash(statement->asText(column)))
                        Fail("A password hash showed.", sql);
                }
            }
        }
    }
    for (std::size_t i = 0; i < g_watchers.size(); ++i) {
        if (DataVersion(*g_watchers[i]) != g_versions[i])
            Fail("A database file changed.", sql);
    }
    return 0;
}
