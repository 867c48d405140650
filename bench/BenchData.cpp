#include "BenchData.h"

#include "host/db/engine/IsoDate.h"
#include "host/db/engine/SqliteConnection.h"

#include <cstdint>
#include <cstdio>

#include <sqlite3.h>

namespace {

// A fixed generator (not std::uniform_*), so every run and every machine sees the same data.
class Sequence
{
public:
    std::uint32_t next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(m_state >> 33);
    }
    int below(int limit) { return static_cast<int>(next() % static_cast<std::uint32_t>(limit)); }

private:
    std::uint64_t m_state = 20240131;
};

} // namespace

bool CreateBenchDatabase(const std::string &path, int rows, std::string &error)
{
    std::remove(path.c_str());
    DbError openError;
    auto db = SqliteConnection::open(path, SqliteConnection::OpenMode::ReadWriteCreate, openError);
    if (!db) {
        error = openError.text;
        return false;
    }
    if (!db->execute(
            "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; "
            "CREATE TABLE t(id INTEGER PRIMARY KEY, iCount INT, nRate REAL, nAmount MONEY, "
            "cCode VARCHAR(10), cName VARCHAR(40), cNote TEXT, dtBirth DATE, dtStart DATETIME, "
            "dtPaid DATETIME)")) {
        error = db->lastError().text;
        return false;
    }
    static const char *const names[] = { "Smith", "Jones", "Brown", "Taylor", "Wilson", "Evans",
        "Thomas", "Johnson", "Roberts", "Walker" };
    static const char *const notes[] = { "", "weekly", "monthly paid in arrears", "casual",
        "on leave", "new starter this month" };
    Transaction transaction(*db);
    auto insert = db->prepare("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!transaction.started() || !insert) {
        error = db->lastError().text;
        return false;
    }
    Sequence random;
    const std::int64_t day = 86400000;
    const std::int64_t base = IsoDate::fromParts(2015, 1, 1);
    char code[8];
    for (int row = 1; row <= rows; ++row) {
        std::snprintf(code, sizeof code, "C%02d", random.below(100));
        const std::string name
            = std::string(names[random.below(10)]) + " " + std::to_string(random.below(5000));
        const Value values[] = {
            Value(std::int64_t(row)),
            Value(std::int64_t(random.below(200))),
            Value(random.below(100000) / 100.0),
            Value(random.below(100000) / 100.0),
            Value(std::string(code)),
            Value(name),
            random.below(10) == 0 ? Value() : Value(std::string(notes[random.below(6)])),
            Value(IsoDate::format(IsoDate::fromParts(1950 + random.below(50), 1 + random.below(12),
                                      1 + random.below(28)),
                FieldType::Date)),
            Value(IsoDate::format(base + random.below(3000) * day + random.below(86400) * 1000LL,
                FieldType::DateTime)),
            Value(IsoDate::format(base + random.below(3000) * day, FieldType::DateTime)),
        };
        for (int i = 0; i < 10; ++i)
            insert->bind(i + 1, values[i]);
        if (insert->step() != Statement::Step::Done) {
            error = insert->lastError().text;
            return false;
        }
        insert->reset();
    }
    insert.reset();
    if (!transaction.commit()) {
        error = db->lastError().text;
        return false;
    }
    return true;
}

std::size_t PlainStepLoopOnce(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    std::int64_t integers = 0;
    double reals = 0;
    std::size_t textBytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        integers += sqlite3_column_int64(statement, 0) + sqlite3_column_int64(statement, 1);
        reals += sqlite3_column_double(statement, 2) + sqlite3_column_double(statement, 3);
        for (int column = 4; column < 10; ++column) {
            const unsigned char *text = sqlite3_column_text(statement, column);
            textBytes
                += text ? static_cast<std::size_t>(sqlite3_column_bytes(statement, column)) : 0;
        }
    }
    sqlite3_finalize(statement);
    return static_cast<std::size_t>(integers) + static_cast<std::size_t>(reals) + textBytes;
}

std::string &BenchFile()
{
    static std::string file;
    return file;
}

void PrintRatio(const char *what, double value, double target, int rows)
{
    std::printf("  %-40s %6.2fx   (target <= %.1fx)  %s\n", what, value, target,
        TargetStatus(value, target, rows));
}

const char *TargetStatus(double ratio, double target, int rows)
{
    if (rows < kTargetRows)
        return "(judged at 1,000,000 rows)";
    return ratio <= target ? "met" : "NOT MET";
}
