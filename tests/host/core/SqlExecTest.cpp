#include "PrintQt.h"
#include "host/db/DbTestSupport.h"

#include "host/core/SqlExec.h"

namespace {

class SqlExecTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("CREATE TABLE t(id INTEGER PRIMARY KEY, dt DATETIME)");
    }

    // The stored text of the row and the moment read back from it.
    std::pair<std::string, QDateTime> readBack(std::int64_t id)
    {
        std::pair<std::string, QDateTime> result;
        DbError error;
        EXPECT_TRUE(db->forEachRow(
            "select coalesce(dt, '<null>'), dt from t where id = ?", { id },
            [&](const Statement &row) {
                result = { std::string(row.asText(0)), SqlExec::DateTimeAt(row, 1) };
                return false;
            },
            error))
            << error.text;
        return result;
    }
};

} // namespace

// Moments the program writes keep their milliseconds; texts other programs stored read as
// moments where they are one, else as none.
TEST_F(SqlExecTest, MomentsReadBackFromOurTextsAndFromOtherProgramsOrNotAtAll)
{
    const QDateTime ours(QDate(1999, 12, 31), QTime(23, 59, 59, 678));
    const struct
    {
        Value written;
        const char *stored;
        QDateTime moment;
    } rows[] = {
        { SqlExec::ToValue(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))), "2024-01-02 03:04:05.000",
            QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)) },
        { SqlExec::ToValue(ours), "1999-12-31 23:59:59.678", ours },
        { SqlExec::ToValue(QDateTime()), "<null>", QDateTime() },
        { std::string("2020-01-02 03:04:05"), "2020-01-02 03:04:05",
            QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)) },
        { std::string("2020-02-30 10:00:00"), "2020-02-30 10:00:00", QDateTime() },
    };
    std::int64_t id = 0;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.stored);
        DbError error;
        ASSERT_TRUE(db->run("insert into t values (?, ?)", { ++id, row.written }, error))
            << error.text;
        EXPECT_EQ(readBack(id), std::make_pair(std::string(row.stored), row.moment));
    }
}
