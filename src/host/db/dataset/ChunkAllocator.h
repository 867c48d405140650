#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

// The large buffers of column chunks are taken from the system directly: whole multiples of
// 2 MiB as huge pages where the system offers them, the others with all their pages mapped in
// one call. Filling them page fault by page fault would be a large part of opening a million
// rows. Smaller buffers, and systems without those calls, use the ordinary heap, which reuses
// memory between small results better.
void *allocateChunkMemory(std::size_t bytes);
void releaseChunkMemory(void *memory, std::size_t bytes) noexcept;
// The size to ask for when `bytes` are needed and more would be welcome: a little more where
// that lets the system serve it with huge pages.
std::size_t chunkCapacityFor(std::size_t bytes);
// Gives the end of a mapped buffer back to the system where it stays in place: the size it now
// has (at least `bytes`, whole pages), or 0 when it cannot shrink so and must be copied instead.
// Trimming the last chunk of a result this way spares a copy and the pages of a new buffer.
std::size_t shrinkChunkMemory(void *memory, std::size_t capacity, std::size_t bytes) noexcept;

// While one is alive on a thread, the mapped buffers released there are kept rather than given
// back, and allocations of the same size take them again. A query that opens once more (a
// refresh) so refills the pages of its previous result instead of having the system clear new
// ones. What is left when the scope ends goes back to the system; nothing outlives it.
class ChunkReuseScope
{
public:
    ChunkReuseScope();
    ~ChunkReuseScope();
    ChunkReuseScope(const ChunkReuseScope &) = delete;
    ChunkReuseScope &operator=(const ChunkReuseScope &) = delete;

    void *take(std::size_t bytes);
    void keep(void *memory, std::size_t bytes);

private:
    std::vector<std::pair<void *, std::size_t>> m_kept;
    ChunkReuseScope *m_outer;
};

template <typename T> struct ChunkAllocator
{
    using value_type = T;

    ChunkAllocator() noexcept = default;
    template <typename U> ChunkAllocator(const ChunkAllocator<U> &) noexcept { }

    T *allocate(std::size_t count)
    {
        return static_cast<T *>(allocateChunkMemory(count * sizeof(T)));
    }
    void deallocate(T *memory, std::size_t count) noexcept
    {
        releaseChunkMemory(memory, count * sizeof(T));
    }

    template <typename U> bool operator==(const ChunkAllocator<U> &) const noexcept { return true; }
};
