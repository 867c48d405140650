#include "host/db/DbTestSupport.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/TQuillonADOQuery.h"

#include <chrono>

namespace {

// 300,000 rows, past the first chunk; cValue holds numbers up to row 200,000 and words after
// it, so the column changes its storage (and rewrites its earlier rows) while the reader reads
// them, after the next chunk's buffers were prepared for numbers.
const char *const kWidening
    = "with recursive n(i) as (select 1 union all select i + 1 from n where i < 300000) "
      "select i as iRow, case when i <= 200000 then i * 3 else 'w' || i end as cValue from n";

class BackgroundLoadTest : public DbTest
{
protected:
    void TearDown() override { BackgroundLoad::PauseLoadsAt(0); }

    TQuillonADOQuery *startLoad(const std::string &sql)
    {
        query = std::make_unique<TQuillonADOQuery>();
        query->SetSQL(QString::fromStdString(sql));
        query->OpenInBackground(openFile("main.db"));
        return query.get();
    }

    std::unique_ptr<TQuillonADOQuery> query;
};

// Reads every shown row while the worker appends and widens the column: a read outside the
// lock, or of a row not yet published, shows as a wrong value here or as a race under TSan.
TEST_F(BackgroundLoadTest, RowsShownWhileLoadingReadTheirOwnValuesAsTheColumnWidens)
{
    TQuillonADOQuery *load = startLoad(kWidening);
    int checked = 0;
    BackgroundLoad::State state = BackgroundLoad::State::Loading;
    while (state == BackgroundLoad::State::Loading) {
        load->WaitForRows(static_cast<std::size_t>(checked) + 1, std::chrono::milliseconds(100));
        state = load->TakeArrivedRows();
        for (; checked < load->RowCount(); ++checked) {
            const qint64 row = checked + 1;
            ASSERT_EQ(load->NumberAt(checked, 0), double(row));
            const QString expected
                = row <= 200000 ? QString::number(row * 3) : "w" + QString::number(row);
            ASSERT_EQ(load->TextAt(checked, 1), expected) << "row " << row;
        }
    }
    EXPECT_EQ(state, BackgroundLoad::State::Done);
    EXPECT_EQ(checked, 300000);
    ASSERT_TRUE(load->ColumnStore());
    EXPECT_EQ(load->ColumnStore()->column(1).storage(), ResultColumn::Storage::Text);
}

// How a load ends, each a row: a statement that fails part way keeps the rows read before the
// error and says why; a cancel keeps exactly the rows published before it; closing a paused
// load ends its thread.
TEST_F(BackgroundLoadTest, EndsKeepOrDropTheRowsAsTheyShould)
{
    {
        SCOPED_TRACE("fails after 100,000 rows");
        TQuillonADOQuery *load = startLoad(
            "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200000) "
            "select i, case when i <= 100000 then i else abs(i - i - 9223372036854775807 - 1) "
            "end from n");
        BackgroundLoad::State end;
        while ((end = load->TakeArrivedRows()) == BackgroundLoad::State::Loading)
            load->WaitForRows(SIZE_MAX, std::chrono::milliseconds(100));
        EXPECT_EQ(end, BackgroundLoad::State::Failed);
        EXPECT_TRUE(load->Active());
        EXPECT_FALSE(load->Loading());
        EXPECT_EQ(load->LastErrorText(), "integer overflow");
        ASSERT_EQ(load->RowCount(), 100000);
        EXPECT_EQ(load->NumberAt(99999, 1), 100000.0);
    }
    {
        SCOPED_TRACE("cancelled at 20,000 rows");
        BackgroundLoad::PauseLoadsAt(20000);
        TQuillonADOQuery *load = startLoad(kWidening);
        BackgroundLoad::WaitUntilPaused();
        load->CancelLoading();
        while (load->TakeArrivedRows() == BackgroundLoad::State::Loading)
            load->WaitForRows(SIZE_MAX, std::chrono::milliseconds(100));
        EXPECT_TRUE(load->Active());
        EXPECT_FALSE(load->Loading());
        EXPECT_EQ(load->RowCount(), 20000);
        EXPECT_TRUE(load->LastError().isCancelled());
        EXPECT_EQ(load->TextAt(19999, 1), "60000");
    }
    {
        SCOPED_TRACE("closed while paused");
        BackgroundLoad::PauseLoadsAt(30000);
        TQuillonADOQuery *load = startLoad(kWidening);
        BackgroundLoad::WaitUntilPaused();
        load->Close(); // returns only once the thread has ended
        EXPECT_FALSE(load->Active());
        EXPECT_FALSE(load->Loading());
        EXPECT_EQ(load->RowCount(), 0);
    }
}

} // namespace
