#include "host/db/dataset/ChunkAllocator.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cstdint>

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

void *mapHuge(std::size_t bytes)
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
    // Fault the pages in now, in one call: huge ones where the system has them, and where it
    // has none, small ones all at once rather than one fault per 4 KiB while loading. Kernels
    // before 5.14 refuse the advice and fault on first touch as usual.
    madvise(aligned, bytes, kPopulateWrite);
    return aligned;
}
#endif

thread_local ChunkReuseScope *t_reuse = nullptr;

} // namespace

ChunkReuseScope::ChunkReuseScope()
    : m_outer(t_reuse)
{
    t_reuse = this;
}

ChunkReuseScope::~ChunkReuseScope()
{
    t_reuse = m_outer;
    for (const auto &[memory, bytes] : m_kept)
        releaseChunkMemory(memory, bytes);
}

void *ChunkReuseScope::take(std::size_t bytes)
{
    for (auto &kept : m_kept) {
        if (kept.second == bytes) {
            void *memory = kept.first;
            kept = m_kept.back();
            m_kept.pop_back();
            return memory;
        }
    }
    return nullptr;
}

void ChunkReuseScope::keep(void *memory, std::size_t bytes)
{
    m_kept.emplace_back(memory, bytes);
}

void *allocateChunkMemory(std::size_t bytes)
{
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
        if (t_reuse) {
            if (void *kept = t_reuse->take(bytes))
                return kept;
        }
        if (bytes % kHugePage == 0)
            return mapHuge(bytes);
        void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
            MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (memory == MAP_FAILED)
            throw std::bad_alloc();
        return memory;
    }
#endif
    return ::operator new(bytes);
}

void releaseChunkMemory(void *memory, std::size_t bytes) noexcept
{
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
        if (t_reuse) {
            try {
                t_reuse->keep(memory, bytes);
                return;
            } catch (const std::bad_alloc &) {
                // no room to note it: give it back now
            }
        }
        munmap(memory, bytes);
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
    if (munmap(static_cast<char *>(memory) + kept, capacity - kept) != 0)
        return 0;
    return kept;
#else
    (void)memory;
    (void)capacity;
    (void)bytes;
    return 0;
#endif
}
