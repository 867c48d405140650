#pragma once

#include "host/db/dataset/ChunkAllocator.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

// A growing array of plain values on the chunk allocator: what a column chunk holds per row.
// Unlike a vector it can give back its spare end in place (`shrink_to_fit`), so trimming the
// last chunk of a result neither copies it nor has the system clear the pages of a new buffer.
template <typename T> class ChunkBuffer
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    ChunkBuffer() = default;
    ChunkBuffer(const ChunkBuffer &other) { *this = other; }
    ChunkBuffer(ChunkBuffer &&other) noexcept { swap(other); }
    ChunkBuffer &operator=(const ChunkBuffer &other)
    {
        if (this != &other) {
            m_size = 0;
            reserve(other.m_size);
            if (other.m_size)
                std::memcpy(m_data, other.m_data, other.m_size * sizeof(T));
            m_size = other.m_size;
        }
        return *this;
    }
    ChunkBuffer &operator=(ChunkBuffer &&other) noexcept
    {
        ChunkBuffer gone(std::move(other));
        swap(gone);
        return *this;
    }
    ~ChunkBuffer() { release(); }

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T *begin() { return m_data; }
    T *end() { return m_data + m_size; }
    T &operator[](std::size_t i) { return m_data[i]; }
    const T &operator[](std::size_t i) const { return m_data[i]; }
    T &back() { return m_data[m_size - 1]; }

    void push_back(T value)
    {
        // The new half is written a while later: a helper faults its pages in meanwhile.
        if (m_size == m_capacity) [[unlikely]]
            reallocate(m_capacity ? 2 * m_capacity : 16, Prefault::Ahead);
        m_data[m_size++] = value;
    }
    // Takes in the `count` values written straight after the end, within the capacity.
    void extend_unchecked(std::size_t count) { m_size += count; }
    void truncate(std::size_t size) { m_size = std::min(m_size, size); }
    void assign(std::size_t count, T value)
    {
        m_size = 0;
        reserve(count);
        std::fill_n(m_data, count, value);
        m_size = count;
    }
    void reserve(std::size_t capacity, Prefault when = Prefault::Now)
    {
        if (capacity > m_capacity)
            reallocate(capacity, when);
    }
    void shrink_to_fit()
    {
        if (m_capacity == m_size)
            return;
        if (const std::size_t bytes
            = shrinkChunkMemory(m_data, m_capacity * sizeof(T), m_size * sizeof(T))) {
            m_capacity = bytes / sizeof(T); // the allocation keeps its size
            return;
        }
        reallocate(m_size);
    }

    void swap(ChunkBuffer &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_allocated, other.m_allocated);
    }

private:
    void reallocate(std::size_t capacity, Prefault when = Prefault::Now)
    {
        T *data = capacity ? static_cast<T *>(allocateChunkMemory(capacity * sizeof(T), when))
                           : nullptr;
        if (m_size)
            std::memcpy(data, m_data, m_size * sizeof(T));
        release();
        m_data = data;
        m_capacity = m_allocated = capacity;
    }
    void release() noexcept
    {
        if (m_data)
            ChunkAllocator<T>().deallocate(m_data, m_allocated);
        m_data = nullptr;
        m_capacity = m_allocated = 0;
    }

    T *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0; // what may be written; less than allocated once trimmed
    std::size_t m_allocated = 0;
};
