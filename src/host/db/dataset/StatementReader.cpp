#include "host/db/dataset/StatementReader.h"

#include "host/db/dataset/ResultColumn.h"
#include "host/db/dataset/RowReceiver.h"
#include "host/db/engine/Connection.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// The connection's own time-out comes back however the run ends.
class TimeoutScope
{
public:
    TimeoutScope(Connection &connection, int seconds)
        : m_connection(connection)
        , m_previous(connection.commandTimeout())
    {
        m_connection.setCommandTimeout(std::chrono::milliseconds(std::max(0, seconds) * 1000LL));
    }
    ~TimeoutScope() { m_connection.setCommandTimeout(m_previous); }
    TimeoutScope(const TimeoutScope &) = delete;
    TimeoutScope &operator=(const TimeoutScope &) = delete;

private:
    Connection &m_connection;
    std::chrono::milliseconds m_previous;
};

DbError plainError(std::string text)
{
    return DbError { std::move(text), 0, {} };
}

DbError cancelledError()
{
    DbError error;
    error.text = kCancelledText;
    error.sqlState = "HY008";
    return error;
}

bool stopped(const std::atomic<bool> *stop)
{
    return stop && stop->load(std::memory_order_acquire);
}

} // namespace

bool ReadStatement(Connection &connection, const StatementRun &run, RowReceiver &receiver,
    DbError &error, const std::atomic<bool> *stop)
{
    error.clear();
    TimeoutScope timeout(connection, run.timeoutSeconds);
    const int attempts = std::max(1, run.retryCount);
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        const std::unique_ptr<Statement> statement
            = connection.prepareBound(run.sql, run.parameters, error);
        bool begun = false;
        if (statement) {
            Statement::Step step = Statement::Step::Error;
            try {
                if (!stopped(stop))
                    step = statement->step();
                while (!stopped(stop) && step == Statement::Step::Row) {
                    if (!begun && !(begun = receiver.Begin(*statement)))
                        return false;
                    if (!receiver.Row(*statement))
                        return false;
                    if (!stopped(stop))
                        step = receiver.Next(*statement);
                }
                if (!stopped(stop) && step == Statement::Step::Done)
                    return begun || receiver.Begin(*statement);
            } catch (const std::bad_alloc &) {
                // A result larger than the memory: the rows read so far go, the program stays.
                error = plainError(
                    "There is not enough memory to hold the result. Narrow the statement so "
                    "that it returns fewer rows or columns.");
                return false;
            } catch (const std::length_error &) {
                error = plainError("The result is too large to hold: a column has more than 4 GB "
                                   "of text in "
                    + std::to_string(ResultColumn::kChunkRows)
                    + " rows. Narrow the statement so that it returns less text.");
                return false;
            }
            // An interrupt that reached the engine between two rows reads as a plain error.
            error = stopped(stop) ? cancelledError() : statement->lastError();
        }
        if (!error.transient || error.isTimeout() || (begun && !receiver.MayRepeat()))
            break;
    }
    return false;
}
