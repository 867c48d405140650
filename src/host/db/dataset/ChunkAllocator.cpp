#include "host/db/dataset/ChunkAllocator.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// The words of a full chunk take 2 MiB, its text ends 1 MiB; a first chunk below 32768 rows
// stays on the heap.
constexpr std::size_t kMappedFrom = 256 * 1024;
// Whole multiples of this are mapped as huge pages where the system offers them: a million
// rows then need a few dozen page faults instead of some twenty thousand.
constexpr std::size_t kHugePage = 2 * 1024 * 1024;
constexpr std::size_t kPage = 4096;

#if defined(__linux__)
#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23; // the value since Linux 5.14; older headers lack the name
#endif

// Faults in the pages of buffers mapped ahead, one buffer after another, on a thread of its own.
// It only asks the system to fault the pages (their contents stay as they are), so the loading
// thread may write into a buffer while its pages are being faulted in. A buffer is forgotten
// before it is unmapped: the system could hand its addresses to someone else's mapping.
//
// Faulting pages in holds the system's lock on the process's memory map, which every mmap,
// munmap and brk of the loading thread waits for. So the helper takes one huge page at a time,
// and waits while a PrefaultBatch maps several buffers, which it then faults in after.
class Prefaulter
{
public:
    // Started on the first buffer mapped ahead and never stopped: the process may release
    // buffers until its end.
    static Prefaulter &instance()
    {
        static Prefaulter *const shared = [] {
            auto *started = new Prefaulter;
            s_started.store(started, std::memory_order_release);
            return started;
        }();
        return *shared;
    }
    static Prefaulter *started() { return s_started.load(std::memory_order_acquire); }

    void queue(void *memory, std::size_t bytes)
    {
        {
            const std::lock_guard lock(m_mutex);
            if (!m_working)
                return;
            char *from = static_cast<char *>(memory);
            m_queue.push_back({ memory, from, from + bytes });
        }
        m_wake.notify_one();
    }

    void forget(void *memory)
    {
        std::unique_lock lock(m_mutex);
        std::erase_if(m_queue, [memory](const Pending &entry) { return entry.memory == memory; });
        m_done.wait(lock, [&] { return m_busy != memory; });
    }

    void hold()
    {
        const std::lock_guard lock(m_mutex);
        ++m_held;
    }
    void letGo()
    {
        bool wake;
        {
            const std::lock_guard lock(m_mutex);
            wake = --m_held == 0 && !m_queue.empty();
        }
        if (wake) // most batches map nothing: the helper sleeps on
            m_wake.notify_one();
    }

private:
    struct Pending
    {
        void *memory; // as mapped, the key to forget it by
        char *from; // the pages still to fault in
        char *end;
    };

    Prefaulter() { std::thread(&Prefaulter::run, this).detach(); }

    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [&] { return !m_queue.empty() && m_held == 0; });
            Pending &next = m_queue.front();
            char *const from = next.from;
            const std::size_t bytes
                = std::min(kHugePage, static_cast<std::size_t>(next.end - from));
            m_busy = next.memory;
            next.from += bytes;
            if (next.from == next.end)
                m_queue.pop_front();
            lock.unlock();
            // A kernel without the advice (before 5.14) refuses it: the pages then fault on
            // first touch, and nothing more is queued.
            const bool done = madvise(from, bytes, kPopulateWrite) == 0 || errno != EINVAL;
            lock.lock();
            m_busy = nullptr;
            if (!done) {
                m_working = false;
                m_queue.clear();
            }
            m_done.notify_all();
        }
    }

    static inline std::atomic<Prefaulter *> s_started { nullptr };
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<Pending> m_queue;
    void *m_busy = nullptr;
    int m_held = 0;
    bool m_working = true;
};

void prefault(void *memory, std::size_t bytes, Prefault when)
{
    if (when == Prefault::Ahead)
        Prefaulter::instance().queue(memory, bytes);
    else
        madvise(memory, bytes, kPopulateWrite);
}

void forgetPrefault(void *memory)
{
    if (Prefaulter *prefaulter = Prefaulter::started())
        prefaulter->forget(memory);
}

void unmapBuffer(void *memory, std::size_t bytes) noexcept
{
    forgetPrefault(memory);
    munmap(memory, bytes);
}

void *mapHuge(std::size_t bytes, Prefault when)
{
    // Over-map by one huge page and cut the ends so that the region starts on its boundary.
    const std::size_t span = bytes + kHugePage;
    char *raw = static_cast<char *>(
        mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(raw);
    char *aligned = raw + ((kHugePage - address % kHugePage) % kHugePage);
    if (aligned > raw)
        munmap(raw, static_cast<std::size_t>(aligned - raw));
    if (raw + span > aligned + bytes)
        munmap(aligned + bytes, static_cast<std::size_t>(raw + span - (aligned + bytes)));
    madvise(aligned, bytes, MADV_HUGEPAGE);
    // Fault the pages in together (now, or on the helper): huge ones where the system has them,
    // and where it has none, small ones rather than one fault per 4 KiB while loading.
    prefault(aligned, bytes, when);
    return aligned;
}

// See releaseKeptChunkMemory. Made once and never destroyed: buffers are given back until the
// process ends, static destructors included.
class KeptBuffers
{
public:
    static KeptBuffers &instance()
    {
        static KeptBuffers *const shared = new KeptBuffers;
        return *shared;
    }

    void *take(std::size_t bytes)
    {
        const std::lock_guard lock(m_mutex);
        for (auto kept = m_kept.rbegin(); kept != m_kept.rend(); ++kept) {
            if (kept->second == bytes) {
                void *memory = kept->first;
                m_total -= bytes;
                m_kept.erase(std::next(kept).base());
                return memory;
            }
        }
        return nullptr;
    }

    // False when the buffer is too large to keep: the caller unmaps it.
    bool keep(void *memory, std::size_t bytes) noexcept
    {
        if (bytes > kKeptBytes)
            return false;
        {
            const std::lock_guard lock(m_mutex);
            try {
                m_kept.reserve(m_kept.size() + 1);
            } catch (const std::bad_alloc &) {
                return false;
            }
            // The oldest make room: the newest are the likeliest sizes of the next result.
            std::size_t dropped = 0;
            while (m_total + bytes > kKeptBytes) {
                m_total -= m_kept[dropped].second;
                unmapBuffer(m_kept[dropped].first, m_kept[dropped].second);
                ++dropped;
            }
            m_kept.erase(m_kept.begin(), m_kept.begin() + static_cast<std::ptrdiff_t>(dropped));
            // Free to the system while kept: no write-back, and a page it takes back is
            // faulted in again, cleared, by the next write.
            madvise(memory, bytes, MADV_FREE);
            m_kept.emplace_back(memory, bytes);
            m_total += bytes;
        }
        return true;
    }

    void releaseAll() noexcept
    {
        const std::lock_guard lock(m_mutex);
        for (const auto &[memory, bytes] : m_kept)
            unmapBuffer(memory, bytes);
        m_kept.clear();
        m_total = 0;
    }

private:
    static constexpr std::size_t kKeptBytes = std::size_t(256) << 20;

    std::mutex m_mutex;
    std::vector<std::pair<void *, std::size_t>> m_kept; // oldest first
    std::size_t m_total = 0;
};
#endif

} // namespace

PrefaultBatch::PrefaultBatch()
{
#if defined(__linux__)
    Prefaulter::instance().hold();
#endif
}

PrefaultBatch::~PrefaultBatch()
{
#if defined(__linux__)
    Prefaulter::instance().letGo();
#endif
}

void releaseKeptChunkMemory() noexcept
{
#if defined(__linux__)
    KeptBuffers::instance().releaseAll();
#endif
}

void *allocateChunkMemory(std::size_t bytes, Prefault when)
{
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
        if (void *kept = KeptBuffers::instance().take(bytes)) {
            // Its trimmed end, and any page the system took back, faults in like a new one's.
            prefault(kept, bytes, when);
            return kept;
        }
        if (bytes % kHugePage == 0)
            return mapHuge(bytes, when);
        const int populate = when == Prefault::Now ? MAP_POPULATE : 0;
        void *memory = mmap(
            nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | populate, -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
        if (when == Prefault::Ahead)
            prefault(memory, bytes, when);
        return memory;
    }
#endif
    return ::operator new(bytes);
}

void releaseChunkMemory(void *memory, std::size_t bytes) noexcept
{
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
        if (!KeptBuffers::instance().keep(memory, bytes))
            unmapBuffer(memory, bytes);
        return;
    }
#endif
    ::operator delete(memory);
}

std::size_t chunkCapacityFor(std::size_t bytes)
{
    // Up to the next huge page when that costs at most an eighth more.
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    return bytes >= kHugePage && rounded - bytes <= bytes / 8 ? rounded : bytes;
}

std::size_t shrinkChunkMemory(void *memory, std::size_t capacity, std::size_t bytes) noexcept
{
#if defined(__linux__)
    const std::size_t kept = (bytes + kPage - 1) / kPage * kPage;
    // Below the mapped sizes the buffer would be released to the heap, which never had it.
    if (capacity < kMappedFrom || kept < kMappedFrom || kept >= capacity)
        return 0;
    forgetPrefault(memory);
    if (madvise(static_cast<char *>(memory) + kept, capacity - kept, MADV_DONTNEED) != 0)
        return 0;
    return kept;
#else
    (void)memory;
    (void)capacity;
    (void)bytes;
    return 0;
#endif
}
