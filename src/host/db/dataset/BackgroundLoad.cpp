#include "host/db/dataset/BackgroundLoad.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/RowReceiver.h"
#include "host/db/engine/Connection.h"

namespace {

// Every 256 rows the waiters hear of new rows: often enough for a first screen, rarely enough
// to cost nothing at a million rows.
constexpr std::size_t kNotifyRows = 256;

std::mutex g_pauseLock;
std::condition_variable g_pauseChanged;
std::size_t g_pauseAt = 0;
std::uint64_t g_resumes = 0;
int g_paused = 0;

} // namespace

class BackgroundLoad::Receiver final : public RowReceiver
{
public:
    Receiver(BackgroundLoad &load, ResultColumns &columns)
        : m_load(load)
        , m_columns(columns)
    {
    }
    bool Begin(const Statement &statement) override
    {
        const std::lock_guard<std::mutex> lock(m_load.m_rowsLock);
        if (m_columns.columnCount() == 0) // a repeated attempt has its fields already
            m_columns.addColumns(statement);
        return true;
    }
    bool Row(const Statement &statement) override
    {
        {
            const std::lock_guard<std::mutex> lock(m_load.m_rowsLock);
            try {
                m_columns.appendRow(statement);
            } catch (...) {
                m_load.m_rowCutShort = true;
                throw;
            }
        }
        m_load.Published(++m_rows);
        return true;
    }
    Statement::Step Next(Statement &statement) override
    {
        // In batches that end where Published notifies or pauses, as row by row.
        std::size_t limit = kNotifyRows - m_rows % kNotifyRows;
        if (m_load.m_pauseAt > m_rows)
            limit = std::min(limit, m_load.m_pauseAt - m_rows);
        const std::size_t before = m_columns.rowCount();
        const auto step = m_columns.appendRows(statement, limit, &m_load.m_rowsLock);
        if (const std::size_t added = m_columns.rowCount() - before) {
            m_rows += added;
            m_load.Published(m_rows); // before the next step, which may take long
        }
        return step ? *step : statement.step();
    }
    // Rows once shown are never taken back.
    bool MayRepeat() const override { return m_rows == 0; }

private:
    BackgroundLoad &m_load;
    ResultColumns &m_columns;
    std::size_t m_rows = 0;
};

BackgroundLoad::BackgroundLoad(
    std::unique_ptr<Connection> connection, StatementRun run, ResultColumns &columns)
    : m_connection(std::move(connection))
    , m_started(std::chrono::steady_clock::now())
{
    {
        const std::lock_guard<std::mutex> lock(g_pauseLock);
        m_pauseAt = g_pauseAt;
    }
    m_thread = std::thread(
        [this, run = std::move(run), &columns]() mutable { Run(std::move(run), columns); });
}

BackgroundLoad::~BackgroundLoad()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundLoad::Run(StatementRun run, ResultColumns &columns)
{
    Receiver receiver(*this, columns);
    DbError error;
    const bool read = ReadStatement(*m_connection, run, receiver, error, &m_stop);
    State end = State::Done;
    if (!read)
        end = error.isCancelled() || m_stop.load() ? State::Cancelled : State::Failed;
    m_error = end == State::Done ? DbError {} : std::move(error);
    m_elapsedMs.store(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - m_started)
                          .count(),
        std::memory_order_relaxed);
    m_state.store(end, std::memory_order_release);
    Notify();
}

void BackgroundLoad::Published(std::size_t rows)
{
    m_published.store(rows, std::memory_order_release);
    if (rows % kNotifyRows == 0)
        Notify();
    if (rows == m_pauseAt) [[unlikely]]
        PauseHere();
}

void BackgroundLoad::Notify()
{
    // Taken and left so that a waiter between its test and its sleep cannot miss this.
    {
        const std::lock_guard<std::mutex> lock(m_waitLock);
    }
    m_waiting.notify_all();
}

bool BackgroundLoad::waitFor(std::size_t rows, std::chrono::milliseconds limit)
{
    std::unique_lock<std::mutex> lock(m_waitLock);
    return m_waiting.wait_for(
        lock, limit, [&] { return published() >= rows || state() != State::Loading; });
}

void BackgroundLoad::cancel()
{
    m_stop.store(true, std::memory_order_release);
    m_connection->cancel();
    {
        const std::lock_guard<std::mutex> lock(g_pauseLock);
    }
    g_pauseChanged.notify_all();
}

std::chrono::milliseconds BackgroundLoad::elapsed() const
{
    return std::chrono::milliseconds(m_elapsedMs.load(std::memory_order_relaxed));
}

void BackgroundLoad::PauseHere()
{
    Notify(); // the rows up to here are there to be seen
    std::unique_lock<std::mutex> lock(g_pauseLock);
    const std::uint64_t resumes = g_resumes;
    ++g_paused;
    g_pauseChanged.notify_all();
    g_pauseChanged.wait(lock, [&] { return g_resumes != resumes || cancelRequested(); });
    --g_paused;
}

void BackgroundLoad::PauseLoadsAt(std::size_t rows)
{
    const std::lock_guard<std::mutex> lock(g_pauseLock);
    g_pauseAt = rows;
}

void BackgroundLoad::WaitUntilPaused()
{
    std::unique_lock<std::mutex> lock(g_pauseLock);
    g_pauseChanged.wait(lock, [] { return g_paused > 0; });
}

void BackgroundLoad::ResumePaused()
{
    {
        const std::lock_guard<std::mutex> lock(g_pauseLock);
        ++g_resumes;
    }
    g_pauseChanged.notify_all();
}
