#pragma once

#include <cstddef>
#include <new>

// The buffers of full column chunks (a result of more than 65536 rows) are taken from the
// system with all their pages mapped in one call: filling them otherwise costs a page fault for
// every 4 KiB, a large part of opening a million rows. Smaller buffers, and systems without
// that call, use the ordinary heap, which reuses memory between small results better.
void *allocateChunkMemory(std::size_t bytes);
void releaseChunkMemory(void *memory, std::size_t bytes) noexcept;

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
