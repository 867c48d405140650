#include "BenchData.h"

#include "host/db/IsoDate.h"
#include "host/db/SqliteConnection.h"

#include <cstdint>
#include <cstdio>

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
