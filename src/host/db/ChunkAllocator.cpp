#include "host/db/ChunkAllocator.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// The words of a full chunk take 512 KiB, its text ends 256 KiB; a first chunk below 32768
// rows stays on the heap.
constexpr std::size_t kMappedFrom = 256 * 1024;

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
