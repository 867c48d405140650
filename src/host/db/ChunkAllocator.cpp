#include "host/db/ChunkAllocator.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// The words of a full chunk take 512 KiB, its text ends 256 KiB; a first chunk below 32768
// rows stays on the heap.
constexpr std::size_t kMappedFrom = 256 * 1024;

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
