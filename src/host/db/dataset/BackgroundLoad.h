#pragma once

#include "host/db/dataset/StatementReader.h"
#include "host/db/engine/DbError.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>

class Connection;
class ResultColumns;

// One statement stepped on a thread of its own into a column store, so that a window can show
// the first rows while the rest arrive.
//
// The handoff: the worker appends rows under rowsLock() and then publishes the new row count
// (release). Rows the engine writes in bulk go into room past the published rows without the
// lock, and are taken in under it. A reader holds rowsLock() while it reads the store and reads
// only rows below published(): the store's buffers grow and a column may change its storage while
// rows arrive, so nothing of it is read without the lock. The connection is the load's alone; only
// cancel() touches it from outside, which the engine allows from any thread.
class BackgroundLoad
{
public:
    enum class State { Loading, Done, Failed, Cancelled };

    // Starts at once. `columns` (empty, no fields yet) must outlive the load.
    BackgroundLoad(
        std::unique_ptr<Connection> connection, StatementRun run, ResultColumns &columns);
    ~BackgroundLoad(); // cancels a load still running and waits for its thread
    BackgroundLoad(const BackgroundLoad &) = delete;
    BackgroundLoad &operator=(const BackgroundLoad &) = delete;

    std::size_t published() const { return m_published.load(std::memory_order_acquire); }
    State state() const { return m_state.load(std::memory_order_acquire); }
    bool loading() const { return state() == State::Loading; }
    std::mutex &rowsLock() { return m_rowsLock; }
    // Waits until `rows` are published or the load has ended, at most `limit`; whether it did.
    bool waitFor(std::size_t rows, std::chrono::milliseconds limit);
    // Stops the statement (Connection::cancel); the rows published so far stay. Returns at once:
    // the load ends as Cancelled soon after, or as Done when it was already at its end.
    void cancel();
    bool cancelRequested() const { return m_stop.load(std::memory_order_acquire); }
    // After the end: the failure (empty for Done), and the time from the start to the end.
    const DbError &error() const { return m_error; }
    // After the end: false when a row was cut short (no memory left for it), which leaves the
    // columns of unequal length; the rows published before it are then unusable too.
    bool rowsIntact() const { return !m_rowCutShort; }
    std::chrono::milliseconds elapsed() const;

    // For tests that must act while rows arrive, without sleeping: every load started after
    // this stops once it has published `rows` rows (0: never) until ResumePaused() or its own
    // cancel(). WaitUntilPaused() returns once a load stands there.
    static void PauseLoadsAt(std::size_t rows);
    static void WaitUntilPaused();
    static void ResumePaused();

private:
    class Receiver;
    void Run(StatementRun run, ResultColumns &columns);
    void Published(std::size_t rows);
    void PauseHere();
    void Notify();

    std::unique_ptr<Connection> m_connection;
    std::mutex m_rowsLock;
    std::atomic<std::size_t> m_published { 0 };
    std::atomic<State> m_state { State::Loading };
    std::atomic<bool> m_stop { false };
    std::mutex m_waitLock; // with m_waiting: the waits for rows or for the end
    std::condition_variable m_waiting;
    DbError m_error; // written by the worker before the end is published
    bool m_rowCutShort = false; // as m_error
    std::size_t m_pauseAt = 0;
    std::chrono::steady_clock::time_point m_started;
    std::atomic<std::int64_t> m_elapsedMs { 0 };
    std::thread m_thread;
};
