#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/FieldType.h"
#include "host/db/engine/RowBatch.h"
#include "host/db/engine/Value.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One cell of the current row as a statement reads it: the value its kind names. Text and bytes
// point into the engine's row and stay valid until the next step. Small, as a result's load
// writes and reads one per cell.
struct Cell
{
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    union {
        std::int64_t integer = 0;
        double real;
        const char *data; // Text, Blob
    };
    std::size_t size = 0; // Text, Blob

    std::string_view bytes() const { return { data, size }; }
};

// One compiled statement. Column accessors are valid after step() returned Row.
class Statement
{
public:
    enum class Step { Row, Done, Error };
    virtual ~Statement() = default;

    virtual bool bind(int index, const Value &value) = 0; // 1-based, like the engines
    virtual Step step() = 0;
    virtual bool reset() = 0; // to run again with new bindings

    virtual int columnCount() const = 0;
    virtual std::string columnName(int column) const = 0;
    virtual FieldType declaredType(int column) const = 0; // Other when the engine has none
    // Base table and column of a result column, empty for expressions.
    virtual std::string baseTable(int column) const = 0;
    virtual std::string baseColumn(int column) const = 0;

    virtual bool isNull(int column) const = 0;
    virtual std::int64_t asInt64(int column) const = 0;
    virtual double asDouble(int column) const = 0;
    virtual std::string_view asText(int column) const = 0; // valid until the next step
    virtual Blob asBlob(int column) const = 0;
    // The storage class of the current value, for columns without a declared type: Integer,
    // Float, String, Blob, or Other for NULL.
    virtual FieldType valueType(int column) const = 0;
    // Reads the current row into cells[0 .. n), n the smaller of `count` and columnCount(), and
    // returns n: loading a result costs one call per row, not one per cell. The default reads
    // through the accessors above; engines override it to read straight from their own row.
    virtual int readRow(Cell *cells, int count) const;
    // Steps on and writes the rows straight into `batch` until it is full, a row does not fit
    // it, or the statement ends; batch.filled says how many. None (Full with no rows) when the
    // batch has another number of columns. The default reads each row through readRow.
    virtual RowBatch::End fillRows(RowBatch &batch);

    virtual bool isReadOnly() const = 0; // the statement cannot change the database
    virtual const DbError &lastError() const = 0;

    // Binds `values` to the parameters in order, from the first; false with lastError().
    bool bindAll(std::span<const Value> values);
    // Binds `values`, steps to the end (rows unread) and resets, so that a statement prepared
    // once runs again with the next values. False with `error`: the reset clears lastError().
    bool run(std::span<const Value> values, DbError &error);
    bool run(std::initializer_list<Value> values, DbError &error)
    {
        return run(std::span(values.begin(), values.size()), error);
    }

private:
    mutable std::vector<Blob> m_cellBlobs; // what the default readRow hands out as bytes
    std::vector<Cell> m_fillCells; // the default fillRows' row
};
