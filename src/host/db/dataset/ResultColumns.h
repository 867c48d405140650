#pragma once

#include "host/db/dataset/ResultColumn.h"
#include "host/db/engine/Statement.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

// The rows of a result or an in-memory table, held by column (see ResultColumn). Qt-free, so
// filters, the grid's sort and the benchmark read it directly.
class ResultColumns final
{
public:
    ResultColumns() = default;
    ResultColumns(const ResultColumns &) = delete;
    ResultColumns &operator=(const ResultColumns &) = delete;

    void addColumn(std::string name, FieldType declared, std::string baseTable = {},
        std::string baseColumn = {});
    // One column per result column of the statement, with its declared type and origin; a name
    // already taken (in any letter case) gets "_1", "_2" ... so that every field can be found
    // by its name.
    void addColumns(const Statement &statement);

    int columnCount() const { return static_cast<int>(m_columns.size()); }
    std::size_t rowCount() const { return m_rows; }
    const ResultColumn &column(int index) const
    {
        return m_columns[static_cast<std::size_t>(index)];
    }
    int indexOf(std::string_view name) const; // letter case ignored; -1 when absent
    std::string uniqueName(const std::string &name) const; // as addColumns names a field

    void appendRow(const Statement &statement); // its current row
    // After appendRow: up to `limit` of the rows that follow, written by the statement straight
    // into the columns (Statement::fillRows). Returns how the statement's steps ended (Row: it
    // stands on a row still to append with appendRow), or nothing when it stands on the last row
    // taken and the caller steps on. With `guard`, the columns change only while it is held (a
    // reader elsewhere holds it too); the statement steps without it.
    std::optional<Statement::Step> appendRows(
        Statement &statement, std::size_t limit = SIZE_MAX, std::mutex *guard = nullptr);
    void appendRow(const std::vector<Value> &values); // missing values are NULL
    void setValue(std::size_t row, int column, const Value &value);
    void removeRow(std::size_t row);
    void clearRows();
    void finish(); // after loading: trims the last chunks

    std::size_t memoryBytes() const;
    std::size_t valueBytes() const;

private:
    std::vector<ResultColumn> m_columns;
    std::size_t m_rows = 0;
    std::size_t roomForRows(); // rows every column takes in bulk (see roomInTail)

    void prepareNextChunks(); // halfway through a chunk (see ResultColumn::prepareNextChunk)

    std::vector<Cell> m_rowCells; // one per column: a statement's row while it is appended
    std::vector<ColumnSlot> m_slots; // appendRows': one per column
    std::vector<std::uint64_t> m_slotNulls; // and their NULL bits
    std::size_t m_rowByRow = 0; // rows to take one by one before appendRows tries again
};
