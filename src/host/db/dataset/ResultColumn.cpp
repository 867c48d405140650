#include "host/db/dataset/ResultColumn.h"

#include "host/db/engine/IsoDate.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace {

ResultColumn::Storage storageFor(FieldType type)
{
    switch (type) {
    case FieldType::Boolean:
    case FieldType::Integer:
        return ResultColumn::Storage::Integer;
    case FieldType::Float:
        return ResultColumn::Storage::Real;
    case FieldType::String:
    case FieldType::WideString:
    case FieldType::Memo:
        return ResultColumn::Storage::Text;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        return ResultColumn::Storage::Date;
    case FieldType::Blob:
        return ResultColumn::Storage::Bytes;
    case FieldType::Other:
        break;
    }
    return ResultColumn::Storage::Pending;
}

std::string formatReal(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

template <typename T> bool parseWhole(std::string_view text, T &value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() && !text.empty();
}

// Gives back spare capacity only when there is much of it: trimming copies the whole buffer.
template <typename Buffer> void trim(Buffer &buffer)
{
    if (buffer.capacity() > buffer.size() + buffer.size() / 8 + 64)
        buffer.shrink_to_fit();
}

// Room for `rows` rows in a chunk's buffers: the end offsets and `textBytes` of text for a text
// column, the words for any other.
template <typename Chunk>
void reserveRows(Chunk &chunk, bool text, std::size_t rows, std::size_t textBytes, Prefault when)
{
    if (text) {
        chunk.ends.reserve(rows, when);
        chunk.text.reserve(textBytes, when);
    } else {
        chunk.words.reserve(rows, when);
    }
}

// The text `rows` rows would take at the rate of the rows `sample` holds, and a sixteenth more.
template <typename Chunk> std::size_t textFor(const Chunk &sample, std::size_t rows)
{
    const std::size_t estimate = sample.rows ? sample.text.size() * rows / sample.rows : 0;
    return estimate + estimate / 16;
}

std::string_view bytesOf(const Blob &blob)
{
    return std::string_view(reinterpret_cast<const char *>(blob.bytes.data()), blob.bytes.size());
}

} // namespace

ResultColumn::ResultColumn(
    std::string name, FieldType declared, std::string baseTable, std::string baseColumn)
    : m_name(std::move(name))
    , m_declared(declared)
    , m_type(declared)
    , m_storage(storageFor(declared))
    , m_baseTable(std::move(baseTable))
    , m_baseColumn(std::move(baseColumn))
{
}

void ResultColumn::addChunk()
{
    std::size_t textReserve = kFirstRows * 8;
    const bool following = !m_chunks.empty();
    if (following) {
        // A full chunk is final: give back what its arena's doubling left over, and size the
        // next one like it.
        Chunk &full = m_chunks.back();
        trim(full.text);
        textReserve = textFor(full, kChunkRows);
    }
    const bool text = m_storage == Storage::Text || m_storage == Storage::Bytes;
    if (following && (text ? m_next.ends.capacity() : m_next.words.capacity()) >= kChunkRows) {
        // prepareNextChunk's buffers; the text grows here only when its estimate fell short
        m_chunks.push_back(std::move(m_next));
        m_next = {};
        reserveRows(m_chunks.back(), text, kChunkRows, textReserve, Prefault::Now);
        return;
    }
    m_next = {}; // none, or mapped for a storage the column has left
    m_chunks.emplace_back();
    // The first chunk starts small (most results are a few rows) and grows by doubling; the
    // following ones are sized for a full chunk at once.
    const std::size_t rows = following ? kChunkRows : kFirstRows;
    Chunk &chunk = m_chunks.back();
    chunk.nulls.reserve(rows / 64);
    reserveRows(chunk, text, rows, textReserve, Prefault::Now);
}

void ResultColumn::appendNull()
{
    if (m_storage == Storage::Text || m_storage == Storage::Bytes)
        pushText({}, true);
    else
        pushWord(0, true);
}

void ResultColumn::appendInteger(std::int64_t value)
{
    switch (m_storage) {
    case Storage::Pending:
        decide(Storage::Integer, FieldType::Integer);
        [[fallthrough]];
    case Storage::Integer:
        pushWord(value, false);
        return;
    case Storage::Real:
        pushWord(std::bit_cast<std::int64_t>(static_cast<double>(value)), false);
        return;
    case Storage::Date:
        toText();
        break;
    case Storage::Text:
    case Storage::Bytes:
        break;
    }
    pushText(std::to_string(value), false);
}

void ResultColumn::appendReal(double value)
{
    switch (m_storage) {
    case Storage::Pending:
        decide(Storage::Real, FieldType::Float);
        break;
    case Storage::Integer:
        toReal();
        break;
    case Storage::Real:
        break;
    case Storage::Date:
        toText();
        [[fallthrough]];
    case Storage::Text:
    case Storage::Bytes:
        pushText(formatReal(value), false);
        return;
    }
    pushWord(std::bit_cast<std::int64_t>(value), false);
}

void ResultColumn::appendText(std::string_view value)
{
    switch (m_storage) {
    case Storage::Text:
    case Storage::Bytes:
        pushText(value, false);
        return;
    case Storage::Date:
        if (const auto ms = IsoDate::parse(value)) {
            pushWord(*ms, false);
            return;
        }
        break;
    case Storage::Pending: {
        FieldType kind;
        const auto ms = IsoDate::parse(value, &kind);
        if (ms && kind != FieldType::Time) {
            decide(Storage::Date, kind);
            pushWord(*ms, false);
        } else {
            decide(Storage::Text, FieldType::String);
            pushText(value, false);
        }
        return;
    }
    case Storage::Integer: {
        std::int64_t number;
        if (parseWhole(value, number)) {
            pushWord(number, false);
            return;
        }
        break;
    }
    case Storage::Real: {
        double number;
        if (parseWhole(value, number)) {
            pushWord(std::bit_cast<std::int64_t>(number), false);
            return;
        }
        break;
    }
    }
    toText();
    pushText(value, false);
}

void ResultColumn::appendBytes(std::string_view value)
{
    if (m_storage == Storage::Pending)
        decide(Storage::Bytes, FieldType::Blob);
    else if (m_storage != Storage::Text && m_storage != Storage::Bytes)
        toText();
    pushText(value, false);
}

void ResultColumn::append(const Value &value)
{
    if (const auto *number = std::get_if<std::int64_t>(&value))
        appendInteger(*number);
    else if (const auto *real = std::get_if<double>(&value))
        appendReal(*real);
    else if (const auto *text = std::get_if<std::string>(&value))
        appendText(*text);
    else if (const auto *blob = std::get_if<Blob>(&value))
        appendBytes(bytesOf(*blob));
    else
        appendNull();
}

void ResultColumn::prepareNextChunk()
{
    m_next = {};
    if (m_chunks.empty() || m_storage == Storage::Pending)
        return;
    m_next.nulls.reserve(kChunkRows / 64);
    reserveRows(m_next, m_storage == Storage::Text || m_storage == Storage::Bytes, kChunkRows,
        textFor(m_chunks.back(), kChunkRows), Prefault::Ahead);
}

std::size_t ResultColumn::roomInTail()
{
    if (m_chunks.empty())
        return 0;
    Chunk &chunk = m_chunks.back();
    const bool text = m_storage == Storage::Text || m_storage == Storage::Bytes;
    std::size_t capacity
        = std::min(kChunkRows, text ? chunk.ends.capacity() : chunk.words.capacity());
    if (capacity <= chunk.rows && capacity < kChunkRows && chunk.rows) {
        // The first chunk, full of rows: it doubles while a result may still be small, and
        // once it is large it takes a whole chunk's room at once, its pages faulted in by the
        // helper, rather than copying itself three more times on the way.
        capacity = capacity >= kChunkRows / 8 ? kChunkRows : 2 * capacity;
        reserveRows(chunk, text, capacity, textFor(chunk, capacity), Prefault::Ahead);
    }
    if (capacity <= chunk.rows)
        return 0;
    const std::size_t words = (capacity + 63) / 64;
    chunk.nulls.reserve(words);
    while (chunk.nulls.size() < words)
        chunk.nulls.push_back(0);
    return capacity - chunk.rows;
}

void ResultColumn::bulkSlot(ColumnSlot &slot, std::uint64_t *nulls)
{
    switch (m_storage) {
    case Storage::Integer:
        slot.kind = ColumnSlot::Kind::Integer;
        break;
    case Storage::Real:
        slot.kind = ColumnSlot::Kind::Real;
        break;
    case Storage::Date:
        slot.kind = ColumnSlot::Kind::Date;
        break;
    case Storage::Text:
    case Storage::Bytes:
        slot.kind = ColumnSlot::Kind::Text;
        break;
    case Storage::Pending:
        slot.kind = ColumnSlot::Kind::Undecided;
        break;
    }
    Chunk &chunk = m_chunks.back();
    slot.words = chunk.words.data() + chunk.words.size();
    slot.ends = chunk.ends.data() + chunk.ends.size();
    slot.text = chunk.text.data();
    slot.textSize = slot.textStart = chunk.text.size();
    slot.textCapacity = chunk.text.capacity();
    slot.nulls = nulls;
    slot.nullBase = chunk.rows & 63;
}

void ResultColumn::commitBulk(const ColumnSlot &slot, std::size_t rows)
{
    Chunk &chunk = m_chunks.back();
    if (slot.kind == ColumnSlot::Kind::Text) {
        chunk.ends.extend_unchecked(rows);
        chunk.text.extend_unchecked(slot.textSize - chunk.text.size());
    } else {
        chunk.words.extend_unchecked(rows);
    }
    const std::size_t first = chunk.rows >> 6;
    const std::size_t words = (slot.nullBase + rows + 63) / 64;
    for (std::size_t w = 0; w < words; ++w)
        chunk.nulls[first + w] |= slot.nulls[w];
    chunk.rows += rows;
}

void ResultColumn::finish()
{
    m_next = {};
    if (m_storage == Storage::Pending)
        decide(Storage::Text, FieldType::Other);
    if (!m_chunks.empty()) {
        Chunk &last = m_chunks.back();
        last.nulls.truncate((last.rows + 63) / 64); // roomInTail's words for rows that never came
        trim(last.words);
        trim(last.ends);
        trim(last.text);
        trim(last.nulls);
    }
}

void ResultColumn::decide(Storage storage, FieldType type)
{
    // Rows so far are NULLs held as words; text storage wants an (empty) end per row instead.
    if (storage == Storage::Text || storage == Storage::Bytes) {
        for (Chunk &chunk : m_chunks) {
            chunk.words = {};
            chunk.ends.assign(chunk.rows, 0);
        }
    }
    m_storage = storage;
    m_type = type;
}

void ResultColumn::toReal()
{
    for (Chunk &chunk : m_chunks) {
        for (std::int64_t &word : chunk.words)
            word = std::bit_cast<std::int64_t>(static_cast<double>(word));
    }
    m_storage = Storage::Real;
    m_type = FieldType::Float;
}

void ResultColumn::toText()
{
    for (Chunk &chunk : m_chunks) {
        TextArena text;
        Buffer<std::uint32_t> ends;
        ends.reserve(chunk.rows);
        for (std::size_t i = 0; i < chunk.rows; ++i) {
            if (!((chunk.nulls[i >> 6] >> (i & 63)) & 1u))
                text.append(render(chunk, i));
            ends.push_back(static_cast<std::uint32_t>(text.size()));
        }
        chunk.words = {};
        chunk.ends = std::move(ends);
        chunk.text = std::move(text);
    }
    m_storage = Storage::Text;
    m_type = FieldType::String;
}

std::string ResultColumn::render(const Chunk &chunk, std::size_t i) const
{
    switch (m_storage) {
    case Storage::Integer:
        return std::to_string(chunk.words[i]);
    case Storage::Real:
        return formatReal(std::bit_cast<double>(chunk.words[i]));
    case Storage::Date:
        return IsoDate::format(chunk.words[i], m_type);
    case Storage::Text:
    case Storage::Bytes: {
        const std::uint32_t begin = i ? chunk.ends[i - 1] : 0;
        return std::string(chunk.text.view().substr(begin, chunk.ends[i] - begin));
    }
    case Storage::Pending:
        break;
    }
    return {};
}

double ResultColumn::numberAt(std::size_t row) const
{
    if (isNull(row))
        return 0;
    switch (m_storage) {
    case Storage::Integer:
    case Storage::Date:
        return static_cast<double>(integerAt(row));
    case Storage::Real:
        return realAt(row);
    case Storage::Text: {
        const std::string_view text = textAt(row);
        double number = 0;
        std::from_chars(text.data(), text.data() + text.size(), number);
        return number;
    }
    case Storage::Bytes:
    case Storage::Pending:
        break;
    }
    return 0;
}

void ResultColumn::nullBits(std::size_t begin, std::size_t count, std::uint64_t *bits) const
{
    const std::uint64_t *nulls = chunkOf(begin, count).nulls.data();
    const std::size_t first = begin & kChunkMask;
    const std::size_t words = (count + 63) / 64;
    if ((first & 63) == 0) {
        std::memcpy(bits, nulls + (first >> 6), words * sizeof(std::uint64_t));
    } else {
        // Each word of the range straddles two stored words.
        const std::size_t shift = first & 63;
        const std::size_t last = ((first + count - 1) >> 6);
        for (std::size_t w = 0; w < words; ++w) {
            const std::size_t at = (first >> 6) + w;
            const std::uint64_t high = at + 1 <= last ? nulls[at + 1] << (64 - shift) : 0;
            bits[w] = nulls[at] >> shift | high;
        }
    }
    if (const std::size_t rest = count & 63)
        bits[words - 1] &= (std::uint64_t(1) << rest) - 1;
}

std::string ResultColumn::displayText(std::size_t row) const
{
    if (m_storage == Storage::Pending || isNull(row))
        return {};
    return render(m_chunks[row >> kChunkShift], row & kChunkMask);
}

Value ResultColumn::valueAt(std::size_t row) const
{
    if (m_storage == Storage::Pending || isNull(row))
        return {};
    switch (m_storage) {
    case Storage::Integer:
        return integerAt(row);
    case Storage::Real:
        return realAt(row);
    case Storage::Date:
        return IsoDate::format(integerAt(row), m_type);
    case Storage::Text:
        return std::string(textAt(row));
    case Storage::Bytes: {
        const std::string_view bytes = textAt(row);
        Blob blob;
        blob.bytes.assign(bytes.begin(), bytes.end());
        return blob;
    }
    case Storage::Pending:
        break;
    }
    return {};
}

bool ResultColumn::fits(const Value &value) const
{
    switch (m_storage) {
    case Storage::Pending:
        return std::holds_alternative<std::monostate>(value);
    case Storage::Integer:
        return !std::holds_alternative<std::string>(value) && !std::holds_alternative<double>(value)
            && !std::holds_alternative<Blob>(value);
    case Storage::Real:
        return !std::holds_alternative<std::string>(value) && !std::holds_alternative<Blob>(value);
    case Storage::Date: {
        if (const auto *text = std::get_if<std::string>(&value))
            return IsoDate::parse(*text).has_value();
        return std::holds_alternative<std::monostate>(value);
    }
    case Storage::Text:
    case Storage::Bytes:
        return true;
    }
    return false;
}

void ResultColumn::widenFor(const Value &value)
{
    if (m_storage == Storage::Pending) {
        if (std::holds_alternative<std::int64_t>(value)) {
            decide(Storage::Integer, FieldType::Integer);
        } else if (std::holds_alternative<double>(value)) {
            decide(Storage::Real, FieldType::Float);
        } else if (std::holds_alternative<Blob>(value)) {
            decide(Storage::Bytes, FieldType::Blob);
        } else {
            FieldType kind;
            const auto ms = IsoDate::parse(std::get<std::string>(value), &kind);
            if (ms && kind != FieldType::Time)
                decide(Storage::Date, kind);
            else
                decide(Storage::Text, FieldType::String);
        }
    } else if (m_storage == Storage::Integer && std::holds_alternative<double>(value)) {
        toReal();
    } else {
        toText();
    }
}

void ResultColumn::set(std::size_t row, const Value &value)
{
    if (!fits(value))
        widenFor(value);
    Chunk &chunk = m_chunks[row >> kChunkShift];
    const std::size_t i = row & kChunkMask;
    const bool null = std::holds_alternative<std::monostate>(value);
    const std::uint64_t bit = std::uint64_t(1) << (i & 63);
    if (null)
        chunk.nulls[i >> 6] |= bit;
    else
        chunk.nulls[i >> 6] &= ~bit;

    switch (m_storage) {
    case Storage::Pending:
        return;
    case Storage::Integer:
        chunk.words[i] = null ? 0 : std::get<std::int64_t>(value);
        return;
    case Storage::Real: {
        double number = 0;
        if (const auto *whole = std::get_if<std::int64_t>(&value))
            number = static_cast<double>(*whole);
        else if (const auto *real = std::get_if<double>(&value))
            number = *real;
        chunk.words[i] = std::bit_cast<std::int64_t>(number);
        return;
    }
    case Storage::Date:
        chunk.words[i] = null ? 0 : *IsoDate::parse(std::get<std::string>(value));
        return;
    case Storage::Text:
    case Storage::Bytes:
        break;
    }
    std::string text;
    if (const auto *whole = std::get_if<std::int64_t>(&value))
        text = std::to_string(*whole);
    else if (const auto *real = std::get_if<double>(&value))
        text = formatReal(*real);
    else if (const auto *string = std::get_if<std::string>(&value))
        text = *string;
    else if (const auto *blob = std::get_if<Blob>(&value))
        text = std::string(bytesOf(*blob));
    const std::uint32_t begin = i ? chunk.ends[i - 1] : 0;
    const std::uint32_t oldLength = chunk.ends[i] - begin;
    chunk.text.replace(begin, oldLength, text);
    const std::int64_t delta = static_cast<std::int64_t>(text.size()) - oldLength;
    for (std::size_t k = i; k < chunk.rows; ++k)
        chunk.ends[k] = static_cast<std::uint32_t>(chunk.ends[k] + delta);
}

void ResultColumn::remove(std::size_t row)
{
    // Rare (one row a person deletes): rebuilding keeps the chunks full without a second path.
    const std::size_t count = size();
    std::vector<Chunk> old = std::move(m_chunks);
    m_chunks.clear();
    const bool text = m_storage == Storage::Text || m_storage == Storage::Bytes;
    for (std::size_t r = 0; r < count; ++r) {
        if (r == row)
            continue;
        const Chunk &chunk = old[r >> kChunkShift];
        const std::size_t i = r & kChunkMask;
        const bool null = (chunk.nulls[i >> 6] >> (i & 63)) & 1u;
        if (text) {
            const std::uint32_t begin = i ? chunk.ends[i - 1] : 0;
            pushText(chunk.text.view().substr(begin, chunk.ends[i] - begin), null);
        } else {
            pushWord(chunk.words[i], null);
        }
    }
    finish();
}

void ResultColumn::clear()
{
    m_chunks.clear();
    m_next = {};
    m_storage = storageFor(m_declared);
    m_type = m_declared;
}

std::size_t ResultColumn::memoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_chunks.capacity() * sizeof(Chunk) + m_name.capacity()
        + m_baseTable.capacity() + m_baseColumn.capacity();
    for (const Chunk &chunk : m_chunks) {
        bytes += chunk.nulls.capacity() * sizeof(std::uint64_t)
            + chunk.words.capacity() * sizeof(std::int64_t)
            + chunk.ends.capacity() * sizeof(std::uint32_t) + chunk.text.capacity();
    }
    return bytes;
}

std::size_t ResultColumn::valueBytes() const
{
    if (m_storage != Storage::Text && m_storage != Storage::Bytes)
        return size() * sizeof(std::int64_t);
    std::size_t bytes = 0;
    for (const Chunk &chunk : m_chunks)
        bytes += chunk.text.size();
    return bytes;
}
