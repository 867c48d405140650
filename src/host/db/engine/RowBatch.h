#pragma once

#include "host/db/engine/IsoDate.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Copies a short text inline: most cells of a result are a few bytes, where a call into the C
// library costs more than the copy.
inline void copyText(char *out, const char *in, std::size_t n)
{
    if (n > 16) {
        std::memcpy(out, in, n);
    } else if (n >= 8) { // two overlapping words cover 8 to 16 bytes
        std::uint64_t first, last;
        std::memcpy(&first, in, 8);
        std::memcpy(&last, in + n - 8, 8);
        std::memcpy(out, &first, 8);
        std::memcpy(out + n - 8, &last, 8);
    } else if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, in, 4);
        std::memcpy(&last, in + n - 4, 4);
        std::memcpy(out, &first, 4);
        std::memcpy(out + n - 4, &last, 4);
    } else if (n > 0) {
        out[0] = in[0];
        out[n / 2] = in[n / 2];
        out[n - 1] = in[n - 1];
    }
}

// Where the rows to come of one result column go, when the engine writes them straight into the
// column's buffers (Statement::fillRows): row k of the batch at words[k] or ends[k], its text at
// the end of `text`, its NULL bit at bit `nullBase + k` of `nulls`. A cell the column does not
// take as it is makes the put fail; the caller then reads that row the general way.
struct ColumnSlot
{
    // Text also for a column of bytes; Undecided for one that has seen only NULLs, which it
    // holds as words until a value decides its storage.
    enum class Kind : std::uint8_t { Integer, Real, Date, Text, Undecided };
    Kind kind = Kind::Text;
    std::int64_t *words = nullptr; // Integer, Real (as its bit pattern), Date (ms)
    std::uint32_t *ends = nullptr; // Text: where each row's text ends in `text`
    char *text = nullptr;
    std::size_t textSize = 0; // in use, this batch's rows included
    std::size_t textCapacity = 0;
    std::size_t textStart = 0; // in use before the batch
    std::uint64_t *nulls = nullptr;
    std::size_t nullBase = 0;

    bool putInteger(std::size_t k, std::int64_t value)
    {
        if (kind == Kind::Integer)
            words[k] = value;
        else if (kind == Kind::Real)
            words[k] = std::bit_cast<std::int64_t>(static_cast<double>(value));
        else
            return false;
        return true;
    }
    bool putReal(std::size_t k, double value)
    {
        if (kind != Kind::Real)
            return false;
        words[k] = std::bit_cast<std::int64_t>(value);
        return true;
    }
    bool putText(std::size_t k, std::string_view value)
    {
        if (kind == Kind::Date)
            return IsoDate::parseStored(value, words[k]);
        if (kind != Kind::Text || textCapacity - textSize < value.size())
            return false;
        copyText(text + textSize, value.data(), value.size());
        textSize += value.size();
        ends[k] = static_cast<std::uint32_t>(textSize);
        return true;
    }
    bool putBytes(std::size_t k, std::string_view value)
    {
        return kind == Kind::Text && putText(k, value); // a text column holds them as they are
    }
    void putNull(std::size_t k)
    {
        const std::size_t bit = nullBase + k;
        nulls[bit >> 6] |= std::uint64_t(1) << (bit & 63);
        if (kind == Kind::Text)
            ends[k] = static_cast<std::uint32_t>(textSize);
        else
            words[k] = 0;
    }
    // Row k could not be written whole: what it wrote goes (its texts, its NULL bit).
    void dropRow(std::size_t k)
    {
        if (kind == Kind::Text)
            textSize = k ? ends[k - 1] : textStart;
        const std::size_t bit = nullBase + k;
        nulls[bit >> 6] &= ~(std::uint64_t(1) << (bit & 63));
    }
};

// Rows written in bulk: one slot per column of the statement, at most `room` rows.
struct RowBatch
{
    enum class End {
        Full, // `room` rows written; the statement stands on the last of them
        Pending, // the statement stands on a row it did not write, to be read the general way
        Done, // the statement is at its end
        Error, // the step failed: the statement's lastError()
    };
    ColumnSlot *columns = nullptr;
    int count = 0;
    std::size_t room = 0;
    std::size_t filled = 0; // rows written

    // Writes row k through put(column, slot), cell by cell; false when a cell does not fit, and
    // then what the row wrote is dropped.
    template <typename Put> bool putRow(std::size_t k, Put put)
    {
        int column = 0;
        while (column < count && put(column, columns[column]))
            ++column;
        if (column == count) [[likely]]
            return true;
        for (int c = 0; c <= column; ++c)
            columns[c].dropRow(k);
        return false;
    }
};
