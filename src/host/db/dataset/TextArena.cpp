#include "host/db/dataset/TextArena.h"

#include <algorithm>
#include <stdexcept>

void TextArena::grow(std::size_t more)
{
    if (more > kMaxSize - m_size)
        throw std::length_error("more than 4 GiB of text in one column chunk");
    // The new half is written a while later: a helper faults its pages in meanwhile.
    reallocate(chunkCapacityFor(grown(more)), Prefault::Ahead);
}

void TextArena::replace(std::size_t position, std::size_t length, std::string_view text)
{
    const std::size_t tail = m_size - position - length;
    const std::size_t size = m_size - length + text.size();
    if (size > kMaxSize)
        throw std::length_error("more than 4 GiB of text in one column chunk");
    if (size > m_capacity)
        reallocate(size > 2 * m_capacity ? size : 2 * m_capacity);
    if (tail)
        std::memmove(m_data + position + text.size(), m_data + position + length, tail);
    if (!text.empty())
        std::memcpy(m_data + position, text.data(), text.size());
    m_size = size;
}

void TextArena::reallocate(std::size_t capacity, Prefault when)
{
    capacity = std::min(capacity, kMaxSize); // the last growth stops at the limit
    char *data = capacity ? static_cast<char *>(allocateChunkMemory(capacity, when)) : nullptr;
    if (m_size)
        std::memcpy(data, m_data, m_size);
    release();
    m_data = data;
    m_capacity = m_allocated = capacity;
}

void TextArena::release() noexcept
{
    if (m_data)
        ChunkAllocator<char>().deallocate(m_data, m_allocated);
    m_data = nullptr;
    m_capacity = m_allocated = 0;
}
