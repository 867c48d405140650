#pragma once

#include "host/db/dataset/ChunkAllocator.h"
#include "host/db/engine/RowBatch.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

// The texts of one column chunk, one after the other without terminators. Loading appends a
// short text for most cells of a result, so that append copies inline instead of calling into
// the C library, and the buffer comes from the chunk allocator like the chunk's other columns.
class TextArena
{
public:
    // Its users find each text by a 32-bit end offset; growing past that throws
    // std::length_error rather than wrap.
    static constexpr std::size_t kMaxSize = 0xffffffffu;

    TextArena() = default;
    TextArena(const TextArena &other) { *this = other; }
    TextArena(TextArena &&other) noexcept { swap(other); }
    TextArena &operator=(const TextArena &other)
    {
        if (this != &other) {
            clear();
            reserve(other.m_size);
            append(other.view());
        }
        return *this;
    }
    TextArena &operator=(TextArena &&other) noexcept
    {
        TextArena gone(std::move(other));
        swap(gone);
        return *this;
    }
    ~TextArena() { release(); }

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    std::string_view view() const { return { m_data, m_size }; }
    char *data() { return m_data; }
    // Takes in the `count` bytes written straight after the end, within the capacity.
    void extend_unchecked(std::size_t count) { m_size += count; }

    void append(std::string_view text)
    {
        const std::size_t n = text.size();
        if (m_capacity - m_size < n) [[unlikely]]
            grow(n);
        copyText(m_data + m_size, text.data(), n);
        m_size += n;
    }
    // The `length` bytes at `position` become `text`; the rest moves up or down.
    void replace(std::size_t position, std::size_t length, std::string_view text);
    void reserve(std::size_t capacity, Prefault when = Prefault::Now)
    {
        if (capacity > m_capacity)
            reallocate(chunkCapacityFor(capacity), when);
    }
    void shrink_to_fit()
    {
        const std::size_t fitting = chunkCapacityFor(m_size);
        if (m_capacity <= fitting)
            return;
        if (const std::size_t kept = shrinkChunkMemory(m_data, m_capacity, fitting))
            m_capacity = kept; // the allocation keeps its size
        else
            reallocate(fitting);
    }
    void clear() { m_size = 0; }

    void swap(TextArena &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_allocated, other.m_allocated);
    }

private:
    std::size_t grown(std::size_t more) const
    {
        const std::size_t needed = m_size + more;
        return needed > 2 * m_capacity ? needed : 2 * m_capacity;
    }
    void grow(std::size_t more); // room for `more` bytes, or std::length_error
    void reallocate(std::size_t capacity, Prefault when = Prefault::Now);
    void release() noexcept;

    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0; // what may be written; less than allocated once trimmed
    std::size_t m_allocated = 0;
};
