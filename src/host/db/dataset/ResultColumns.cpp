#include "host/db/dataset/ResultColumns.h"

#include "host/db/dataset/ChunkAllocator.h"
#include "host/db/engine/NameFold.h"

#include <algorithm>
#include <cstdint>

void ResultColumns::addColumn(
    std::string name, FieldType declared, std::string baseTable, std::string baseColumn)
{
    m_columns.emplace_back(std::move(name), declared, std::move(baseTable), std::move(baseColumn));
    m_rowCells.resize(m_columns.size());
    for (std::size_t row = 0; row < m_rows; ++row)
        m_columns.back().appendNull();
}

void ResultColumns::addColumns(const Statement &statement)
{
    const int count = statement.columnCount();
    m_columns.reserve(m_columns.size() + static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        addColumn(uniqueName(statement.columnName(i)), statement.declaredType(i),
            statement.baseTable(i), statement.baseColumn(i));
    }
}

std::string ResultColumns::uniqueName(const std::string &name) const
{
    // Fields are found by name, in any letter case: a second "cCode" (or "CCODE") would only
    // ever show the first one's values. It becomes "cCode_1", the next "cCode_2".
    std::string candidate = name;
    for (int suffix = 1; indexOf(candidate) >= 0; ++suffix)
        candidate = name + "_" + std::to_string(suffix);
    return candidate;
}

int ResultColumns::indexOf(std::string_view name) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (NameFold::same(m_columns[i].name(), name))
            return static_cast<int>(i);
    }
    return -1;
}

void ResultColumns::appendRow(const Statement &statement)
{
    // A load's rows past the first come in bulk (appendRows); this takes the rows a batch does
    // not, which may change a column's storage.
    const int fields = columnCount();
    Cell *cells = m_rowCells.data();
    const int read = statement.readRow(cells, fields);
    for (int column = 0; column < read; ++column)
        m_columns[static_cast<std::size_t>(column)].appendCell(cells[column]);
    for (int column = read; column < fields; ++column)
        m_columns[static_cast<std::size_t>(column)].appendNull(); // the statement lacks it
    if ((++m_rows & (ResultColumn::kChunkRows - 1)) == ResultColumn::kChunkRows / 2) [[unlikely]]
        prepareNextChunks();
}

void ResultColumns::prepareNextChunks()
{
    const PrefaultBatch batch;
    for (ResultColumn &column : m_columns)
        column.prepareNextChunk();
}

namespace {

// A batch's NULL bits stay within a few cache lines, and a reader waiting for the guard waits
// for no more than this many rows.
constexpr std::size_t kBatchRows = 4096;
constexpr std::size_t kBatchNullWords = kBatchRows / 64 + 1;
// A batch that ends on a row it cannot take after fewer rows than this (a real column of whole
// numbers, say) makes the next rows go one by one, so that setting up batches costs nothing.
constexpr std::size_t kShortBatch = 16;
constexpr std::size_t kRowByRow = 1024;

} // namespace

std::optional<Statement::Step> ResultColumns::appendRows(
    Statement &statement, std::size_t limit, std::mutex *guard)
{
    if (m_rowByRow) {
        --m_rowByRow;
        return std::nullopt;
    }
    const std::size_t count = m_columns.size();
    std::unique_lock<std::mutex> lock
        = guard ? std::unique_lock(*guard) : std::unique_lock<std::mutex>();
    // Stop at the half of a chunk, where the next chunk is prepared.
    constexpr std::size_t mask = ResultColumn::kChunkRows - 1;
    const std::size_t toHalf = (ResultColumn::kChunkRows / 2 - (m_rows & mask)) & mask;
    RowBatch batch;
    batch.room = std::min({ roomForRows(), limit, kBatchRows, toHalf ? toHalf : mask + 1 });
    if (batch.room == 0)
        return std::nullopt; // the columns' buffers wait for appendRow to grow them
    m_slots.resize(count);
    m_slotNulls.resize(count * kBatchNullWords);
    for (std::size_t c = 0; c < count; ++c) {
        std::uint64_t *nulls = m_slotNulls.data() + c * kBatchNullWords;
        std::fill_n(nulls, (batch.room + 127) / 64, 0);
        m_columns[c].bulkSlot(m_slots[c], nulls);
    }
    batch.columns = m_slots.data();
    batch.count = static_cast<int>(count);
    if (lock)
        lock.unlock();
    const RowBatch::End end = statement.fillRows(batch);
    if (guard)
        lock.lock();
    for (std::size_t c = 0; c < count; ++c)
        m_columns[c].commitBulk(m_slots[c], batch.filled);
    m_rows += batch.filled;
    if (batch.filled && (m_rows & mask) == ResultColumn::kChunkRows / 2)
        prepareNextChunks();
    switch (end) {
    case RowBatch::End::Full:
        if (batch.filled == 0)
            m_rowByRow = SIZE_MAX; // a statement narrower than the columns: row by row
        return std::nullopt;
    case RowBatch::End::Pending:
        if (batch.filled < kShortBatch)
            m_rowByRow = kRowByRow;
        return Statement::Step::Row;
    case RowBatch::End::Done:
        return Statement::Step::Done;
    case RowBatch::End::Error:
        break;
    }
    return Statement::Step::Error;
}

std::size_t ResultColumns::roomForRows()
{
    std::size_t room = SIZE_MAX;
    const PrefaultBatch batch; // the first chunk's growth maps ahead too
    for (ResultColumn &column : m_columns)
        room = std::min(room, column.roomInTail());
    return m_columns.empty() ? 0 : room;
}

void ResultColumns::appendRow(const std::vector<Value> &values)
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (i < values.size())
            m_columns[i].append(values[i]);
        else
            m_columns[i].appendNull();
    }
    ++m_rows;
}

void ResultColumns::setValue(std::size_t row, int column, const Value &value)
{
    m_columns[static_cast<std::size_t>(column)].set(row, value);
}

void ResultColumns::removeRow(std::size_t row)
{
    for (ResultColumn &column : m_columns)
        column.remove(row);
    --m_rows;
}

void ResultColumns::clearRows()
{
    for (ResultColumn &column : m_columns)
        column.clear();
    m_rows = 0;
}

void ResultColumns::finish()
{
    for (ResultColumn &column : m_columns)
        column.finish();
}

std::size_t ResultColumns::memoryBytes() const
{
    std::size_t bytes = sizeof(*this) + m_columns.capacity() * sizeof(ResultColumn);
    for (const ResultColumn &column : m_columns)
        bytes += column.memoryBytes() - sizeof(ResultColumn);
    return bytes;
}

std::size_t ResultColumns::valueBytes() const
{
    std::size_t bytes = 0;
    for (const ResultColumn &column : m_columns)
        bytes += column.valueBytes();
    return bytes;
}
