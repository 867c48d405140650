#include "host/db/engine/SqliteStatement.h"

#include "host/db/engine/SqliteConnection.h"

#include <algorithm>

#include <sqlite3.h>

SqliteStatement::SqliteStatement(SqliteConnection &connection, sqlite3_stmt *statement)
    : m_connection(connection)
    , m_statement(statement)
    , m_rowMutex(sqlite3_db_mutex(sqlite3_db_handle(statement)))
{
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

bool SqliteStatement::bind(int index, const Value &value)
{
    int rc = SQLITE_OK;
    if (std::holds_alternative<std::monostate>(value)) {
        rc = sqlite3_bind_null(m_statement, index);
    } else if (const auto *number = std::get_if<std::int64_t>(&value)) {
        rc = sqlite3_bind_int64(m_statement, index, *number);
    } else if (const auto *real = std::get_if<double>(&value)) {
        rc = sqlite3_bind_double(m_statement, index, *real);
    } else if (const auto *text = std::get_if<std::string>(&value)) {
        rc = sqlite3_bind_text64(
            m_statement, index, text->data(), text->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } else if (const auto *blob = std::get_if<Blob>(&value)) {
        // A zero-length blob must stay a blob, not become NULL.
        rc = blob->bytes.empty() ? sqlite3_bind_zeroblob(m_statement, index, 0)
                                 : sqlite3_bind_blob64(m_statement, index, blob->bytes.data(),
                                     blob->bytes.size(), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) {
        m_error = m_connection.errorFromCode(rc, false);
        if (rc == SQLITE_RANGE)
            m_error.text = "Parameter " + std::to_string(index) + " is out of range.";
        return false;
    }
    return true;
}

Statement::Step SqliteStatement::step()
{
    if (!m_started) {
        m_started = true;
        m_limited = m_connection.m_timeout.count() > 0;
        m_deadline = std::chrono::steady_clock::now() + m_connection.m_timeout;
    }
    m_connection.enterStep(m_deadline, m_limited);
    const int rc = sqlite3_step(m_statement);
    return stepEnded(rc, m_connection.leaveStep());
}

Statement::Step SqliteStatement::stepEnded(int rc, bool timedOut)
{
    if (rc == SQLITE_ROW)
        return Step::Row;
    if (rc == SQLITE_DONE) {
        m_error.clear();
        return Step::Done;
    }
    m_error = m_connection.errorFromCode(rc, timedOut);
    m_connection.setError(m_error);
    return Step::Error;
}

bool SqliteStatement::reset()
{
    m_started = false;
    // The result of reset repeats the last step's error, which step() already reported.
    sqlite3_reset(m_statement);
    m_error.clear();
    return true;
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

std::string SqliteStatement::columnName(int column) const
{
    const char *name = sqlite3_column_name(m_statement, column);
    return name ? name : std::string();
}

FieldType SqliteStatement::declaredType(int column) const
{
    const char *declared = sqlite3_column_decltype(m_statement, column);
    return declared ? fieldTypeFromDeclared(declared) : FieldType::Other;
}

std::string SqliteStatement::baseTable(int column) const
{
    const char *table = sqlite3_column_table_name(m_statement, column);
    return table ? table : std::string();
}

std::string SqliteStatement::baseColumn(int column) const
{
    const char *name = sqlite3_column_origin_name(m_statement, column);
    return name ? name : std::string();
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

std::int64_t SqliteStatement::asInt64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

double SqliteStatement::asDouble(int column) const
{
    return sqlite3_column_double(m_statement, column);
}

std::string_view SqliteStatement::asText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    if (!text)
        return {};
    return std::string_view(
        text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column)));
}

Blob SqliteStatement::asBlob(int column) const
{
    const auto *data = static_cast<const unsigned char *>(sqlite3_column_blob(m_statement, column));
    const int size = sqlite3_column_bytes(m_statement, column);
    Blob blob;
    if (data && size > 0)
        blob.bytes.assign(data, data + size);
    return blob;
}

FieldType SqliteStatement::valueType(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return FieldType::Integer;
    case SQLITE_FLOAT:
        return FieldType::Float;
    case SQLITE_TEXT:
        return FieldType::String;
    case SQLITE_BLOB:
        return FieldType::Blob;
    default:
        return FieldType::Other;
    }
}

namespace {

// One cell of the current row, by one value handle (the column accessors would each look the
// column up again).
inline void readCell(sqlite3_stmt *statement, int column, Cell &cell)
{
    sqlite3_value *value = sqlite3_column_value(statement, column);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        cell.kind = Cell::Kind::Integer;
        cell.integer = sqlite3_value_int64(value);
        break;
    case SQLITE_FLOAT:
        cell.kind = Cell::Kind::Real;
        cell.real = sqlite3_value_double(value);
        break;
    case SQLITE_TEXT:
        cell.kind = Cell::Kind::Text;
        cell.data = reinterpret_cast<const char *>(sqlite3_value_text(value));
        cell.size = static_cast<std::size_t>(sqlite3_value_bytes(value));
        break;
    case SQLITE_BLOB:
        cell.kind = Cell::Kind::Blob;
        cell.data = static_cast<const char *>(sqlite3_value_blob(value));
        cell.size = static_cast<std::size_t>(sqlite3_value_bytes(value));
        break;
    default:
        cell.kind = Cell::Kind::Null;
        break;
    }
}

// Value handles are read while holding the connection's mutex, which makes them protected. Our
// connections are single-thread and have none: then there is nothing to enter.
class RowLock
{
public:
    explicit RowLock(sqlite3_mutex *mutex)
        : m_mutex(mutex)
    {
        if (m_mutex)
            sqlite3_mutex_enter(m_mutex);
    }
    ~RowLock()
    {
        if (m_mutex)
            sqlite3_mutex_leave(m_mutex);
    }
    RowLock(const RowLock &) = delete;
    RowLock &operator=(const RowLock &) = delete;

private:
    sqlite3_mutex *m_mutex;
};

} // namespace

int SqliteStatement::readRow(Cell *cells, int count) const
{
    // The load of a result: a million rows come through here, each cell read by its value handle.
    RowLock lock(m_rowMutex);
    const int read = std::min(count, sqlite3_column_count(m_statement));
    for (int column = 0; column < read; ++column)
        readCell(m_statement, column, cells[column]);
    return read;
}

namespace {

// One cell of the current row into its slot; false when the slot does not take it as it is.
inline bool putCell(sqlite3_stmt *statement, int column, ColumnSlot &slot, std::size_t k)
{
    sqlite3_value *value = sqlite3_column_value(statement, column);
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return slot.putInteger(k, sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return slot.putReal(k, sqlite3_value_double(value));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
        return slot.putText(
            k, std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(value))));
    }
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_value_blob(value));
        return slot.putBytes(
            k, std::string_view(bytes, static_cast<std::size_t>(sqlite3_value_bytes(value))));
    }
    default:
        slot.putNull(k);
        return true;
    }
}

} // namespace

RowBatch::End SqliteStatement::fillRows(RowBatch &batch)
{
    // The load of a large result: the rows go from the engine's values into the columns with
    // neither a call per row nor a cell in between.
    batch.filled = 0;
    if (!m_started || batch.count != sqlite3_column_count(m_statement))
        return RowBatch::End::Full;
    m_connection.enterStep(m_deadline, m_limited);
    int rc = SQLITE_ROW;
    RowBatch::End end = RowBatch::End::Full;
    std::size_t k = 0;
    for (; k < batch.room; ++k) {
        rc = sqlite3_step(m_statement);
        if (rc != SQLITE_ROW) {
            end = rc == SQLITE_DONE ? RowBatch::End::Done : RowBatch::End::Error;
            break;
        }
        RowLock lock(m_rowMutex);
        if (!batch.putRow(k, [&](int column, ColumnSlot &slot) {
                return putCell(m_statement, column, slot, k);
            })) [[unlikely]] {
            end = RowBatch::End::Pending;
            break;
        }
    }
    batch.filled = k;
    const bool timedOut = m_connection.leaveStep();
    if (end == RowBatch::End::Done || end == RowBatch::End::Error)
        stepEnded(rc, timedOut);
    return end;
}

bool SqliteStatement::isReadOnly() const
{
    return sqlite3_stmt_readonly(m_statement) != 0;
}
