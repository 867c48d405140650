#include "host/db/dataset/ResultColumns.h"

#include "host/db/dataset/ChunkAllocator.h"
#include "host/db/engine/NameFold.h"

#include <algorithm>
#include <cstdint>

void ResultColumns::addColumn(
    std::string name, FieldType declared, std::string baseTable, std::string baseColumn)
{
    m_room = 0;
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
    // The load of a result: one call reads the row, then each cell goes straight into its
    // column, where appendCell inlines.
    const int fields = columnCount();
    Cell *cells = m_rowCells.data();
    ResultColumn *columns = m_columns.data();
    const int read = statement.readRow(cells, fields);
    if (m_room && read == fields) [[likely]] {
        // Room in every column: no chunk, capacity or null word to check, cell by cell.
        bool fast = true;
        for (int column = 0; column < fields; ++column)
            fast &= columns[column].appendCellWithRoom(cells[column]);
        m_room = fast ? m_room - 1 : 0;
    } else {
        for (int column = 0; column < read; ++column)
            columns[column].appendCell(cells[column]);
        for (int column = read; column < fields; ++column)
            columns[column].appendNull(); // the statement lacks it
        m_room = roomForRows();
    }
    if ((++m_rows & (ResultColumn::kChunkRows - 1)) == ResultColumn::kChunkRows / 2) [[unlikely]] {
        const PrefaultBatch batch;
        for (ResultColumn &column : m_columns)
            column.prepareNextChunk();
    }
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
    m_room = 0;
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
    m_room = 0; // the columns may have changed their storage or capacity
    m_columns[static_cast<std::size_t>(column)].set(row, value);
}

void ResultColumns::removeRow(std::size_t row)
{
    m_room = 0; // the columns may have changed their storage or capacity
    for (ResultColumn &column : m_columns)
        column.remove(row);
    --m_rows;
}

void ResultColumns::clearRows()
{
    m_room = 0; // the columns may have changed their storage or capacity
    for (ResultColumn &column : m_columns)
        column.clear();
    m_rows = 0;
}

void ResultColumns::finish()
{
    m_room = 0; // the last chunks lose their spare room
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
