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
//
// `Prefault::Ahead` is for a buffer that will be written a while later (the next chunk of a
// result, mapped while the current one fills): its pages are faulted in on a helper thread, so
// that clearing them costs the loading thread nothing. The buffer may be used at once; a page
// written before the helper reached it is simply faulted in by that write.
enum class Prefault { Now, Ahead };
void *allocateChunkMemory(std::size_t bytes, Prefault when = Prefault::Now);
// While one lives, buffers mapped ahead wait to be faulted in: a loading thread maps the next
// chunk's buffers of every column in one go, instead of each mapping waiting for the helper to
// finish faulting in the one before.
class PrefaultBatch
{
public:
    PrefaultBatch();
    ~PrefaultBatch();
    PrefaultBatch(const PrefaultBatch &) = delete;
    PrefaultBatch &operator=(const PrefaultBatch &) = delete;
};
void releaseChunkMemory(void *memory, std::size_t bytes) noexcept;
// The size to ask for when `bytes` are needed and more would be welcome: a little more where
// that lets the system serve it with huge pages.
std::size_t chunkCapacityFor(std::size_t bytes);
// Gives the pages at the end of a mapped buffer back to the system: the size left in use (at
// least `bytes`, whole pages), or 0 when it cannot shrink so and must be copied instead. The
// buffer keeps its addresses and is released at the size it was allocated with, so that kept,
// it serves the full chunk of the next result. Trimming the last chunk of a result this way
// spares a copy and the pages of a new buffer.
std::size_t shrinkChunkMemory(void *memory, std::size_t capacity, std::size_t bytes) noexcept;

// Mapped buffers given back are kept, up to 256 MiB in all, and an allocation of the same size
// takes them again: the next result (a refresh, or the next IQ after a window closed) writes
// into pages the system has already provided instead of having it clear new ones. The system
// may take their pages back under memory pressure. This gives every kept buffer back now.
void releaseKeptChunkMemory() noexcept;

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
