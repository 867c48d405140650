#pragma once

#include "host/db/dataset/ChunkBuffer.h"
#include "host/db/dataset/TextArena.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/FieldType.h"
#include "host/db/engine/IsoDate.h"
#include "host/db/engine/RowBatch.h"
#include "host/db/engine/Value.h"

#include <bit>
#include <cassert>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One field of a result, stored by column in chunks of 262144 rows so that growth never copies
// the whole column: numbers and dates as 8-byte words (dates in ms, see IsoDate), texts and
// bytes in one arena per chunk with a 32-bit end offset per row, NULLs as one bit per row.
//
// The storage follows the values: a column declared as a number that receives a real becomes
// real, and one that receives text it cannot hold (a date that does not parse, a word in a
// number column) becomes text, with the earlier values printed, so no value is ever lost. A
// column without a declared type takes its storage from its first non-NULL value.
class ResultColumn
{
public:
    enum class Storage { Pending, Integer, Real, Date, Text, Bytes };
    static constexpr std::size_t kChunkRows = std::size_t(1) << 18;

    // Real storage read in place: the words hold each value's bit pattern.
    class RealSpan
    {
    public:
        std::size_t size() const { return m_size; }
        double operator[](std::size_t k) const { return std::bit_cast<double>(m_words[k]); }

    private:
        friend class ResultColumn;
        RealSpan(const std::int64_t *words, std::size_t size)
            : m_words(words)
            , m_size(size)
        {
        }
        const std::int64_t *m_words;
        std::size_t m_size;
    };
    // Text and Bytes storage read in place: each value ends where the next one starts.
    class TextSpan
    {
    public:
        std::size_t size() const { return m_size; }
        std::string_view operator[](std::size_t k) const
        {
            const std::uint32_t start = k ? m_ends[k - 1] : m_start;
            return std::string_view(m_arena + start, m_ends[k] - start);
        }

    private:
        friend class ResultColumn;
        TextSpan(
            const std::uint32_t *ends, const char *arena, std::uint32_t start, std::size_t size)
            : m_ends(ends)
            , m_arena(arena)
            , m_start(start)
            , m_size(size)
        {
        }
        const std::uint32_t *m_ends;
        const char *m_arena;
        std::uint32_t m_start;
        std::size_t m_size;
    };

    ResultColumn(std::string name, FieldType declared, std::string baseTable = {},
        std::string baseColumn = {});

    const std::string &name() const { return m_name; }
    FieldType type() const { return m_type; }
    Storage storage() const { return m_storage; }
    const std::string &baseTable() const { return m_baseTable; }
    const std::string &baseColumn() const { return m_baseColumn; }
    // Every chunk but the last is full.
    std::size_t size() const
    {
        return m_chunks.empty() ? 0 : (m_chunks.size() - 1) * kChunkRows + m_chunks.back().rows;
    }

    void appendNull();
    void appendInteger(std::int64_t value);
    void appendReal(double value);
    void appendText(std::string_view value);
    void appendBytes(std::string_view value);
    void append(const Value &value);
    // The load path, one call per cell of a result: a value that fits the column's storage
    // goes straight in; anything else takes the general path, which may widen the column.
    void appendCell(const Cell &cell)
    {
        // Tested one after another, texts (and dates) first, as they come most often: cheaper
        // than a jump table once per cell.
        if (cell.kind == Cell::Kind::Text) {
            std::int64_t ms;
            if (m_storage == Storage::Text)
                pushText(cell.bytes(), false);
            else if (m_storage == Storage::Date && IsoDate::parseStored(cell.bytes(), ms))
                pushWord(ms, false);
            else
                appendText(cell.bytes());
        } else if (cell.kind == Cell::Kind::Integer) {
            if (m_storage == Storage::Integer) [[likely]]
                pushWord(cell.integer, false);
            else
                appendInteger(cell.integer);
        } else if (cell.kind == Cell::Kind::Real) {
            if (m_storage == Storage::Real) [[likely]]
                pushWord(std::bit_cast<std::int64_t>(cell.real), false);
            else
                appendReal(cell.real);
        } else if (cell.kind == Cell::Kind::Null) {
            appendNull();
        } else {
            appendBytes(cell.bytes());
        }
    }
    // Loading calls this halfway through each chunk: the next chunk's buffers are mapped now and
    // their pages faulted in by a helper thread, so that starting that chunk costs the loading
    // thread no cleared pages.
    void prepareNextChunk();
    // The rows the last chunk takes before it must grow or a new chunk begin (0 when there is
    // none), with their null words in place: the room of a batch of rows written in bulk.
    std::size_t roomInTail();
    // The load in bulk (Statement::fillRows), within the rows roomInTail() has room for: where
    // they go, with their NULL bits into `nulls` (bit 0 standing for the tail's row 0 mod 64,
    // zeroed by the caller).
    void bulkSlot(ColumnSlot &slot, std::uint64_t *nulls);
    // Takes in the `rows` the engine wrote through `slot`.
    void commitBulk(const ColumnSlot &slot, std::size_t rows);
    // Ends loading: trims the last chunk; a column that saw only NULLs becomes text.
    void finish();

    bool isNull(std::size_t row) const
    {
        const Chunk &chunk = m_chunks[row >> kChunkShift];
        const std::size_t i = row & kChunkMask;
        return (chunk.nulls[i >> 6] >> (i & 63)) & 1u;
    }
    // Integer and Date storage.
    std::int64_t integerAt(std::size_t row) const
    {
        return m_chunks[row >> kChunkShift].words[row & kChunkMask];
    }
    double realAt(std::size_t row) const { return std::bit_cast<double>(integerAt(row)); }
    // Text and Bytes storage.
    std::string_view textAt(std::size_t row) const
    {
        const Chunk &chunk = m_chunks[row >> kChunkShift];
        const std::size_t i = row & kChunkMask;
        const std::uint32_t begin = i ? chunk.ends[i - 1] : 0;
        return chunk.text.view().substr(begin, chunk.ends[i] - begin);
    }
    // Any storage: numbers as they are, dates in ms, text read as a number (0 when it is none).
    double numberAt(std::size_t row) const;
    // Any storage as text: numbers printed, dates in ISO form; "" for NULL.
    std::string displayText(std::size_t row) const;
    Value valueAt(std::size_t row) const; // dates as ISO text

    void set(std::size_t row, const Value &value);
    void remove(std::size_t row);
    void clear(); // no rows; the storage chosen from the declared type again

    // Scans (the record filter) read the rows [begin, begin + count) in place. The range must lie
    // within one chunk, as blocks aligned to a size that divides kChunkRows always do.
    //
    // Bit k of `bits` (count / 64 words, rounded up) is set when row begin + k is NULL; the bits
    // past `count` are zero.
    void nullBits(std::size_t begin, std::size_t count, std::uint64_t *bits) const;
    // Integer and Date storage.
    std::span<const std::int64_t> integers(std::size_t begin, std::size_t count) const
    {
        return { chunkOf(begin, count).words.data() + (begin & kChunkMask), count };
    }
    RealSpan reals(std::size_t begin, std::size_t count) const // Real storage
    {
        return RealSpan(chunkOf(begin, count).words.data() + (begin & kChunkMask), count);
    }
    TextSpan texts(std::size_t begin, std::size_t count) const // Text and Bytes storage
    {
        const Chunk &chunk = chunkOf(begin, count);
        const std::size_t i = begin & kChunkMask;
        return TextSpan(
            chunk.ends.data() + i, chunk.text.view().data(), i ? chunk.ends[i - 1] : 0, count);
    }

    std::size_t memoryBytes() const;
    // What the values themselves take: 8 bytes per number or date, the length of each text.
    std::size_t valueBytes() const;

private:
    static constexpr std::size_t kChunkShift = std::countr_zero(kChunkRows);
    static constexpr std::size_t kChunkMask = kChunkRows - 1;
    static constexpr std::size_t kFirstRows = 256;
    template <typename T> using Buffer = ChunkBuffer<T>;
    struct Chunk
    {
        Buffer<std::uint64_t> nulls; // bit set: NULL
        Buffer<std::int64_t> words; // Integer, Date; Real as its bit pattern
        Buffer<std::uint32_t> ends; // Text, Bytes: end of each row's value in `text`
        TextArena text;
        std::size_t rows = 0;
    };

    const Chunk &chunkOf(std::size_t begin, [[maybe_unused]] std::size_t count) const
    {
        assert(count == 0 || (begin >> kChunkShift) == ((begin + count - 1) >> kChunkShift));
        return m_chunks[begin >> kChunkShift];
    }
    Chunk &tail()
    {
        if (m_chunks.empty() || m_chunks.back().rows == kChunkRows) [[unlikely]]
            addChunk();
        return m_chunks.back();
    }
    void addChunk();
    // The load path: one call per cell of a million rows, so kept where it inlines.
    void pushWord(std::int64_t word, bool null)
    {
        Chunk &chunk = tail();
        pushNullBit(chunk, null);
        chunk.words.push_back(word);
        ++chunk.rows;
    }
    void pushText(std::string_view text, bool null)
    {
        Chunk &chunk = tail();
        pushNullBit(chunk, null);
        chunk.text.append(text);
        chunk.ends.push_back(static_cast<std::uint32_t>(chunk.text.size()));
        ++chunk.rows;
    }
    static void pushNullBit(Chunk &chunk, bool null)
    {
        // roomInTail may have put the null words of rows to come in place already.
        const std::size_t word = chunk.rows >> 6;
        if (word == chunk.nulls.size())
            chunk.nulls.push_back(0);
        if (null) [[unlikely]]
            chunk.nulls[word] |= std::uint64_t(1) << (chunk.rows & 63);
    }
    void decide(Storage storage, FieldType type);
    void toReal();
    void toText();
    std::string render(const Chunk &chunk, std::size_t i) const;
    bool fits(const Value &value) const;
    void widenFor(const Value &value);

    std::string m_name;
    FieldType m_declared;
    FieldType m_type;
    Storage m_storage;
    std::string m_baseTable;
    std::string m_baseColumn;
    std::vector<Chunk> m_chunks;
    Chunk m_next; // prepareNextChunk's buffers until addChunk takes them
};
