#include "host/db/engine/Statement.h"

#include <algorithm>

namespace {

bool putCell(const Cell &cell, ColumnSlot &slot, std::size_t k)
{
    switch (cell.kind) {
    case Cell::Kind::Integer:
        return slot.putInteger(k, cell.integer);
    case Cell::Kind::Real:
        return slot.putReal(k, cell.real);
    case Cell::Kind::Text:
        return slot.putText(k, cell.bytes());
    case Cell::Kind::Blob:
        return slot.putBytes(k, cell.bytes());
    case Cell::Kind::Null:
        break;
    }
    slot.putNull(k);
    return true;
}

} // namespace

RowBatch::End Statement::fillRows(RowBatch &batch)
{
    // Each row through readRow, its cells put into their slots.
    batch.filled = 0;
    if (batch.count != columnCount())
        return RowBatch::End::Full;
    m_fillCells.resize(static_cast<std::size_t>(batch.count));
    for (; batch.filled < batch.room; ++batch.filled) {
        const Step step = this->step();
        if (step != Step::Row)
            return step == Step::Done ? RowBatch::End::Done : RowBatch::End::Error;
        readRow(m_fillCells.data(), batch.count);
        const std::size_t k = batch.filled;
        if (!batch.putRow(k, [&](int column, ColumnSlot &slot) {
                return putCell(m_fillCells[static_cast<std::size_t>(column)], slot, k);
            }))
            return RowBatch::End::Pending;
    }
    return RowBatch::End::Full;
}

int Statement::readRow(Cell *cells, int count) const
{
    const int read = std::min(count, columnCount());
    m_cellBlobs.resize(static_cast<std::size_t>(read));
    for (int column = 0; column < read; ++column) {
        Cell &cell = cells[column];
        switch (valueType(column)) {
        case FieldType::Integer:
            cell.kind = Cell::Kind::Integer;
            cell.integer = asInt64(column);
            break;
        case FieldType::Float:
            cell.kind = Cell::Kind::Real;
            cell.real = asDouble(column);
            break;
        case FieldType::Blob: {
            Blob &blob = m_cellBlobs[static_cast<std::size_t>(column)];
            blob = asBlob(column);
            cell.kind = Cell::Kind::Blob;
            cell.data = reinterpret_cast<const char *>(blob.bytes.data());
            cell.size = blob.bytes.size();
            break;
        }
        case FieldType::Other:
            if (isNull(column)) {
                cell.kind = Cell::Kind::Null;
                break;
            }
            [[fallthrough]];
        default: {
            const std::string_view text = asText(column);
            cell.kind = Cell::Kind::Text;
            cell.data = text.data();
            cell.size = text.size();
            break;
        }
        }
    }
    return read;
}

bool Statement::bindAll(std::span<const Value> values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!bind(static_cast<int>(i + 1), values[i]))
            return false;
    }
    return true;
}

bool Statement::run(std::span<const Value> values, DbError &error)
{
    bool ok = bindAll(values);
    if (ok) {
        Step step;
        while ((step = this->step()) == Step::Row) { }
        ok = step == Step::Done;
    }
    if (!ok)
        error = lastError();
    reset();
    return ok;
}
