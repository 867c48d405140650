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

#include <algorithm>
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
// Cells are scanned up to this many bytes per input: a hash hidden behind more padding than that
// shows as well behind less, and the budget keeps a statement of huge blobs within the time-out.
constexpr std::size_t kMaxScannedBytes = 64u << 20;

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
// that merely writes "$argon2..." as a literal is no leak. Needles of one length share one pass
// over a cell, so a cell of tens of megabytes is scanned twice, not three times per agent.
struct Needle
{
    std::string text;
    std::uint64_t hash = 0;
};
struct NeedlesOfALength
{
    std::size_t length = 0;
    std::uint64_t power = 1; // kBase ^ (length - 1)
    std::vector<Needle> needles;
};
std::vector<NeedlesOfALength> g_needles;
constexpr std::uint64_t kBase = 1000003;

// The scan is left out of the coverage instrumentation: tracing every step over a big cell turns
// the run into a time-out of the harness, and the scan is no code under test.
#define QP_UNTRACED __attribute__((no_sanitize("address", "coverage")))

QP_UNTRACED std::uint64_t Roll(std::uint64_t hash, unsigned char c)
{
    return hash * kBase + c;
}

void AddNeedle(std::string text)
{
    Needle needle;
    for (const char c : text)
        needle.hash = Roll(needle.hash, static_cast<unsigned char>(c));
    auto group = std::find_if(g_needles.begin(), g_needles.end(),
        [&](const NeedlesOfALength &g) { return g.length == text.size(); });
    if (group == g_needles.end()) {
        group = g_needles.insert(g_needles.end(), NeedlesOfALength { text.size(), 1, {} });
        for (std::size_t i = 1; i < text.size(); ++i)
            group->power *= kBase;
    }
    needle.text = std::move(text);
    group->needles.push_back(std::move(needle));
}

QP_UNTRACED bool ShowsAHash(std::string_view cell)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(cell.data());
    const std::size_t size = cell.size();
    for (const NeedlesOfALength &group : g_needles) {
        const std::size_t length = group.length;
        if (length == 0 || size < length)
            continue;
        std::uint64_t hash = 0;
        for (std::size_t i = 0; i < length; ++i)
            hash = Roll(hash, bytes[i]);
        // Plain pointers: the harness is built without inlining, where every iterator step
        // would be a call.
        const Needle *first = group.needles.data();
        const Needle *last = first + group.needles.size();
        for (std::size_t start = 0;; ++start) {
            for (const Needle *needle = first; needle != last; ++needle) {
                if (hash == needle->hash && cell.substr(start, length) == needle->text)
                    return true;
            }
            if (start + length >= size)
                break;
            hash = Roll(hash - group.power * bytes[start], bytes[start + length]);
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
    // The canary must itself work: every hash is found behind and before other bytes.
    for (const NeedlesOfALength &group : g_needles) {
        for (const Needle &needle : group.needles) {
            if (!ShowsAHash(std::string(1000, 'x') + needle.text + "y")
                || ShowsAHash(needle.text.substr(1))) {
                std::fprintf(stderr, "The scan for the agents' hashes does not work.\n");
                std::abort();
            }
        }
    }
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
            std::size_t scanned = 0;
            for (int row = 0; row < kMaxRows && scanned < kMaxScannedBytes
                 && statement->step() == Statement::Step::Row;
                 ++row) {
                for (int column = 0; column < statement->columnCount(); ++column) {
                    const std::string_view cell
                        = statement->asText(column).substr(0, kMaxScannedBytes - scanned);
                    if (ShowsAHash(cell))
                        Fail("A password hash showed.", sql);
                    scanned += cell.size();
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
