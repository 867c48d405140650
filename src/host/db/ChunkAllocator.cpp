#include "host/db/ChunkAllocator.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// Below this the heap is as fast and wastes less.
constexpr std::size_t kMappedFrom = std::size_t(1) << 62;

} // namespace

void *allocateChunkMemory(std::size_t bytes)
{
#if defined(__linux__)
    if (bytes >= kMappedFrom) {
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
        munmap(memory, bytes);
        return;
    }
#endif
    ::operator delete(memory);
}
