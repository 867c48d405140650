#include "host/db/engine/OdbcStatement.h"

#include "host/db/engine/NameFold.h"
#include "host/db/engine/OdbcConnection.h"
#include "host/db/engine/SqlScanner.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include <sql.h>
#include <sqlext.h>

static_assert(std::is_same_v<SQLLEN, long> && std::is_same_v<SQLULEN, unsigned long>,
    "the headers keep SQLLEN buffers as long");

namespace {

// A block holds about this many bytes, and at most kMaxBlockRows rows.
constexpr long kBlockBytes = 1 << 20;
constexpr unsigned long kMaxBlockRows = 1024;
// Text columns wider than this, or of no declared width, are bound this wide; longer values
// are read whole when their row is reached.
constexpr unsigned long kWidestBound = 4000;
constexpr long kLongWidth = 512;
constexpr long kBytesPerChar = 4; // UTF-8

} // namespace

FieldType OdbcStatement::typeOf(short sqlType)
{
    switch (sqlType) {
    case SQL_BIT:
        return FieldType::Boolean;
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
        return FieldType::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return FieldType::Float;
    case SQL_CHAR:
    case SQL_VARCHAR:
        return FieldType::String;
    case SQL_WCHAR:
    case SQL_WVARCHAR:
        return FieldType::WideString;
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
        return FieldType::Memo;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return FieldType::Date;
    case SQL_TYPE_TIME:
    case SQL_TIME:
        return FieldType::Time;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return FieldType::DateTime;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return FieldType::Blob;
    default:
        return FieldType::Other;
    }
}

namespace {

std::string columnText(SQLHSTMT handle, SQLUSMALLINT column, SQLUSMALLINT field)
{
    std::array<char, 512> text {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(
            SQLColAttribute(handle, column, field, text.data(), text.size(), &length, nullptr)))
        return {};
    return std::string(text.data());
}

// The words that make a statement write, wherever they stand outside literals and comments.
bool isWritingWord(std::string_view word)
{
    static constexpr std::array kWords { "INSERT", "UPDATE", "DELETE", "MERGE", "CREATE", "DROP",
        "ALTER", "TRUNCATE", "GRANT", "REVOKE", "INTO", "EXEC", "EXECUTE", "CALL", "COPY", "SET",
        "LOCK", "VACUUM", "REINDEX", "CLUSTER", "COMMENT", "REFRESH", "NEXTVAL", "SETVAL" };
    return std::any_of(kWords.begin(), kWords.end(),
        [&](const char *writing) { return NameFold::same(word, writing); });
}

} // namespace

OdbcStatement::OdbcStatement(OdbcConnection &connection, void *handle, std::string text)
    : m_connection(connection)
    , m_handle(handle)
    , m_text(std::move(text))
{
}

OdbcStatement::~OdbcStatement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
}

bool OdbcStatement::describe()
{
    m_columns.clear();
    SQLSMALLINT count = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(m_handle, &count))) {
        m_error = m_connection.statementError(m_handle, false);
        return false;
    }
    m_columns.resize(static_cast<std::size_t>(count));
    for (SQLSMALLINT i = 0; i < count; ++i) {
        Column &column = m_columns[static_cast<std::size_t>(i)];
        std::array<SQLCHAR, 512> name {};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeCol(m_handle, i + 1, name.data(), name.size(), &nameLength,
                &column.sqlType, &size, &digits, &nullable))) {
            m_error = m_connection.statementError(m_handle, false);
            return false;
        }
        column.name = reinterpret_cast<const char *>(name.data());
        column.size = size;
        // PostgreSQL's driver may hand booleans over as the texts "1" and "0"; asked for
        // numbers it gives 1 and 0, as a bit column does on SQL Server.
        const std::string typeName
            = NameFold::fold(columnText(m_handle, i + 1, SQL_DESC_TYPE_NAME));
        if (typeName == "bool" || typeName == "boolean")
            column.sqlType = SQL_BIT;
        column.declared = typeOf(column.sqlType);
        column.baseTable = columnText(m_handle, i + 1, SQL_DESC_BASE_TABLE_NAME);
        column.baseColumn = column.baseTable.empty()
            ? std::string()
            : columnText(m_handle, i + 1, SQL_DESC_BASE_COLUMN_NAME);
    }
    m_dateTexts.assign(m_columns.size(), {});
    m_described = true;
    return true;
}

bool OdbcStatement::bind(int index, const Value &value)
{
    if (index < 1 || index > 32767) {
        m_error
            = DbError { "Parameter " + std::to_string(index) + " is out of range.", 0, "07009" };
        return false;
    }
    if (m_parameters.size() < static_cast<std::size_t>(index))
        m_parameters.resize(static_cast<std::size_t>(index));
    m_parameters[static_cast<std::size_t>(index - 1)] = value;
    return true;
}

bool OdbcStatement::execute()
{
    SQLSMALLINT expected = 0;
    if (!SQL_SUCCEEDED(SQLNumParams(m_handle, &expected)))
        expected = static_cast<SQLSMALLINT>(m_parameters.size()); // the driver cannot count
    if (static_cast<std::size_t>(expected) < m_parameters.size()) {
        m_error = DbError { "Parameter " + std::to_string(expected + 1) + " is out of range.", 0,
            "07009" };
        return false;
    }
    // Unset parameters are NULL, as on the other engines.
    m_parameters.resize(static_cast<std::size_t>(std::max<SQLSMALLINT>(expected, 0)));
    m_parameterLengths.assign(m_parameters.size(), 0);
    SQLFreeStmt(m_handle, SQL_RESET_PARAMS);
    for (std::size_t i = 0; i < m_parameters.size(); ++i) {
        Value &value = m_parameters[i];
        long &length = m_parameterLengths[i];
        SQLSMALLINT cType = SQL_C_CHAR;
        SQLSMALLINT sqlType = SQL_VARCHAR;
        SQLULEN size = 1;
        SQLPOINTER data = nullptr;
        if (std::holds_alternative<std::monostate>(value)) {
            length = SQL_NULL_DATA;
        } else if (auto *number = std::get_if<std::int64_t>(&value)) {
            cType = SQL_C_SBIGINT;
            sqlType = SQL_BIGINT;
            size = 19;
            data = number;
        } else if (auto *real = std::get_if<double>(&value)) {
            cType = SQL_C_DOUBLE;
            sqlType = SQL_DOUBLE;
            size = 15;
            data = real;
        } else if (auto *text = std::get_if<std::string>(&value)) {
            length = static_cast<long>(text->size());
            size = std::max<SQLULEN>(1, text->size());
            sqlType = text->size() > kWidestBound ? SQL_LONGVARCHAR : SQL_VARCHAR;
            data = text->data();
        } else if (auto *blob = std::get_if<Blob>(&value)) {
            cType = SQL_C_BINARY;
            length = static_cast<long>(blob->bytes.size());
            size = std::max<SQLULEN>(1, blob->bytes.size());
            sqlType = blob->bytes.size() > kWidestBound ? SQL_LONGVARBINARY : SQL_VARBINARY;
            // A zero-length value still needs an address, or the driver reads it as NULL.
            static unsigned char none = 0;
            data = blob->bytes.empty() ? &none : blob->bytes.data();
        }
        const SQLRETURN rc = SQLBindParameter(m_handle, static_cast<SQLUSMALLINT>(i + 1),
            SQL_PARAM_INPUT, cType, sqlType, size, 0, data, 0, &length);
        if (!SQL_SUCCEEDED(rc)) {
            m_error = m_connection.statementError(m_handle, false);
            return false;
        }
    }
    const auto timeout = m_connection.m_timeout;
    const SQLULEN seconds
        = timeout.count() > 0 ? static_cast<SQLULEN>((timeout.count() + 999) / 1000) : 0;
    SQLSetStmtAttr(m_handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(seconds), 0);

    m_connection.enterRun(m_handle, true);
    SQLSMALLINT columns = 0;
    SQLLEN changed = 0;
    const SQLRETURN rc = m_connection.runWatched([&] {
        SQLRETURN result = SQLExecute(m_handle);
        if (SQL_SUCCEEDED(result))
            SQLRowCount(m_handle, &changed);
        // Statements before the one with rows (SET NOCOUNT, an INSERT before its SELECT) pass.
        while (SQL_SUCCEEDED(result) && SQL_SUCCEEDED(SQLNumResultCols(m_handle, &columns))
            && columns == 0) {
            result = SQLMoreResults(m_handle);
            if (result == SQL_NO_DATA)
                return SQLRETURN(SQL_SUCCESS);
        }
        return result;
    });
    const bool cancelled = m_connection.leaveRun();
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
        m_error = m_connection.statementError(m_handle, cancelled);
        return false;
    }
    m_connection.setChanges(changed > 0 ? static_cast<int>(changed) : 0);
    if (cancelled && columns > 0) {
        // Cancel came as the rows were ready: none is read. A write that ended stays written.
        SQLFreeStmt(m_handle, SQL_CLOSE);
        m_error = DbError { kCancelledText, 0, "HY008" };
        return false;
    }
    m_executed = true;
    m_finished = columns == 0;
    if (m_finished)
        return true;
    return describe() && bindColumns();
}

bool OdbcStatement::bindColumns()
{
    bool variable = false; // texts or bytes, whose values may outgrow their buffers
    long rowWidth = 0;
    for (Column &column : m_columns) {
        switch (column.sqlType) {
        case SQL_BIT:
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
        case SQL_BIGINT:
            column.buffer = Buffer::Integer;
            column.width = sizeof(std::int64_t);
            break;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            column.buffer = Buffer::Real;
            column.width = sizeof(double);
            break;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            column.buffer = Buffer::Date;
            column.width = sizeof(SQL_DATE_STRUCT);
            break;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            column.buffer = Buffer::Time;
            column.width = sizeof(SQL_TIME_STRUCT);
            break;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            column.buffer = Buffer::Timestamp;
            column.width = sizeof(SQL_TIMESTAMP_STRUCT);
            break;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            column.buffer = Buffer::Bytes;
            column.width = column.size == 0 || column.size > kWidestBound
                ? kLongWidth
                : static_cast<long>(column.size);
            variable = true;
            break;
        default:
            column.buffer = Buffer::Text;
            column.width = column.size == 0 || column.size > kWidestBound
                ? kLongWidth
                : static_cast<long>(column.size) * kBytesPerChar + 1;
            variable = true;
            break;
        }
        // Keeps every row's slot aligned for the 8-byte values.
        column.width = (column.width + 7) / 8 * 8;
        rowWidth += column.width + static_cast<long>(sizeof(SQLLEN));
    }
    m_blockRows = std::clamp<unsigned long>(
        static_cast<unsigned long>(kBlockBytes / std::max(1L, rowWidth)), 1, kMaxBlockRows);
    if (variable && !m_connection.m_blockGetData)
        m_blockRows = 1;

    SQLSetStmtAttr(m_handle, SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN, 0);
    if (!SQL_SUCCEEDED(SQLSetStmtAttr(
            m_handle, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(m_blockRows), 0)))
        m_blockRows = 1; // a driver without blocks fetches one row at a time
    SQLSetStmtAttr(m_handle, SQL_ATTR_ROWS_FETCHED_PTR, &m_rowsFetched, 0);
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        Column &column = m_columns[i];
        column.data.assign(static_cast<std::size_t>(column.width) * m_blockRows, 0);
        column.indicators.assign(m_blockRows, 0);
        static constexpr SQLSMALLINT kTypes[] = { SQL_C_SBIGINT, SQL_C_DOUBLE, SQL_C_CHAR,
            SQL_C_BINARY, SQL_C_TYPE_DATE, SQL_C_TYPE_TIME, SQL_C_TYPE_TIMESTAMP };
        const SQLRETURN rc = SQLBindCol(m_handle, static_cast<SQLUSMALLINT>(i + 1),
            kTypes[static_cast<int>(column.buffer)], column.data.data(), column.width,
            column.indicators.data());
        if (!SQL_SUCCEEDED(rc)) {
            m_error = m_connection.statementError(m_handle, false);
            return false;
        }
    }
    return true;
}

Statement::Step OdbcStatement::fail(DbError error)
{
    m_error = std::move(error);
    m_connection.setError(m_error);
    m_finished = true;
    return Step::Error;
}

Statement::Step OdbcStatement::step()
{
    if (!m_executed) {
        m_rowsFetched = 0;
        m_row = 0;
        if (!execute())
            return fail(m_error);
        if (m_finished) {
            m_error.clear();
            return Step::Done;
        }
        return fetchBlock();
    }
    if (m_finished)
        return Step::Done;
    if (++m_row < m_rowsFetched)
        return readTruncated() ? Step::Row : fail(m_error);
    return fetchBlock();
}

Statement::Step OdbcStatement::fetchBlock()
{
    if (m_connection.m_progress)
        m_connection.m_progress();
    // A cancel from the progress callback (or between blocks) arrives while no call runs.
    if (m_connection.enterRun(m_handle, false)) {
        m_connection.leaveRun();
        SQLFreeStmt(m_handle, SQL_CLOSE);
        return fail(DbError { kCancelledText, 0, "HY008" });
    }
    const SQLRETURN rc = m_connection.runWatched([this] { return SQLFetch(m_handle); });
    const bool cancelled = m_connection.leaveRun();
    m_row = 0;
    if (rc == SQL_NO_DATA || (SQL_SUCCEEDED(rc) && m_rowsFetched == 0)) {
        m_finished = true;
        m_error.clear();
        return Step::Done;
    }
    if (!SQL_SUCCEEDED(rc))
        return fail(m_connection.statementError(m_handle, cancelled));
    if (cancelled) { // as the block arrived
        SQLFreeStmt(m_handle, SQL_CLOSE);
        return fail(DbError { kCancelledText, 0, "HY008" });
    }
    return readTruncated() ? Step::Row : fail(m_error);
}

bool OdbcStatement::readTruncated()
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        Column &column = m_columns[i];
        column.usesWhole = false;
        if (column.buffer != Buffer::Text && column.buffer != Buffer::Bytes)
            continue;
        const long length = column.indicators[m_row];
        const long room = column.buffer == Buffer::Text ? column.width - 1 : column.width;
        if (length == SQL_NULL_DATA || (length != SQL_NO_TOTAL && length <= room))
            continue;
        if (!readWhole(static_cast<int>(i)))
            return false;
    }
    return true;
}

bool OdbcStatement::readWhole(int index)
{
    Column &column = m_columns[static_cast<std::size_t>(index)];
    if (m_blockRows > 1
        && !SQL_SUCCEEDED(SQLSetPos(
            m_handle, static_cast<SQLSETPOSIROW>(m_row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE))) {
        m_error = m_connection.statementError(m_handle, false);
        return false;
    }
    const bool text = column.buffer == Buffer::Text;
    column.whole.clear();
    std::array<char, 65536> chunk;
    for (;;) {
        SQLLEN length = 0;
        const SQLRETURN rc = SQLGetData(m_handle, static_cast<SQLUSMALLINT>(index + 1),
            text ? SQL_C_CHAR : SQL_C_BINARY, chunk.data(), chunk.size(), &length);
        if (rc == SQL_NO_DATA)
            break;
        if (!SQL_SUCCEEDED(rc)) {
            m_error = m_connection.statementError(m_handle, false);
            m_error.text = "The value of the field \"" + column.name
                + "\" is longer than the driver declared and cannot be read whole: " + m_error.text;
            return false;
        }
        const std::size_t room = text ? chunk.size() - 1 : chunk.size();
        const bool more = length == SQL_NO_TOTAL || static_cast<std::size_t>(length) > room;
        column.whole.append(chunk.data(), more ? room : static_cast<std::size_t>(length));
        if (!more)
            break;
    }
    column.usesWhole = true;
    return true;
}

Cell OdbcStatement::cellAt(int index) const
{
    const Column &column = m_columns[static_cast<std::size_t>(index)];
    Cell cell;
    const long length = column.indicators[m_row];
    if (length == SQL_NULL_DATA)
        return cell;
    const char *slot = column.data.data() + static_cast<std::size_t>(column.width) * m_row;
    switch (column.buffer) {
    case Buffer::Integer:
        cell.kind = Cell::Kind::Integer;
        std::memcpy(&cell.integer, slot, sizeof cell.integer);
        break;
    case Buffer::Real:
        cell.kind = Cell::Kind::Real;
        std::memcpy(&cell.real, slot, sizeof cell.real);
        break;
    case Buffer::Text:
    case Buffer::Bytes:
        cell.kind = column.buffer == Buffer::Text ? Cell::Kind::Text : Cell::Kind::Blob;
        if (column.usesWhole) {
            cell.data = column.whole.data();
            cell.size = column.whole.size();
        } else {
            cell.data = slot;
            cell.size = static_cast<std::size_t>(length);
        }
        break;
    case Buffer::Date:
    case Buffer::Time:
    case Buffer::Timestamp: {
        // Dates cross the engine boundary as ISO text, as SQLite stores them; written digit
        // by digit, as a million rows have three dates each.
        std::string &kept = m_dateTexts[static_cast<std::size_t>(index)];
        kept.resize(32);
        char *out = kept.data();
        auto digits = [&out](unsigned value, int count) {
            for (int i = count - 1; i >= 0; --i) {
                out[i] = static_cast<char>('0' + value % 10);
                value /= 10;
            }
            out += count;
        };
        auto date = [&](int year, unsigned month, unsigned day) {
            if (year < 0) {
                *out++ = '-';
                year = -year;
            }
            digits(static_cast<unsigned>(year), year > 9999 ? 5 : 4);
            *out++ = '-';
            digits(month, 2);
            *out++ = '-';
            digits(day, 2);
        };
        auto time = [&](unsigned hour, unsigned minute, unsigned second) {
            digits(hour, 2);
            *out++ = ':';
            digits(minute, 2);
            *out++ = ':';
            digits(second, 2);
        };
        if (column.buffer == Buffer::Date) {
            SQL_DATE_STRUCT value;
            std::memcpy(&value, slot, sizeof value);
            date(value.year, value.month, value.day);
        } else if (column.buffer == Buffer::Time) {
            SQL_TIME_STRUCT value;
            std::memcpy(&value, slot, sizeof value);
            time(value.hour, value.minute, value.second);
        } else {
            SQL_TIMESTAMP_STRUCT value;
            std::memcpy(&value, slot, sizeof value);
            date(value.year, value.month, value.day);
            *out++ = ' ';
            time(value.hour, value.minute, value.second);
            if (const unsigned milliseconds = value.fraction / 1000000 % 1000) {
                *out++ = '.';
                digits(milliseconds, 3);
            }
        }
        kept.resize(static_cast<std::size_t>(out - kept.data()));
        cell.kind = Cell::Kind::Text;
        cell.data = kept.data();
        cell.size = kept.size();
        break;
    }
    }
    return cell;
}

bool OdbcStatement::reset()
{
    SQLFreeStmt(m_handle, SQL_CLOSE);
    m_executed = false;
    m_finished = false;
    m_rowsFetched = 0;
    m_row = 0;
    m_error.clear();
    return true;
}

std::string OdbcStatement::columnName(int column) const
{
    return m_columns[static_cast<std::size_t>(column)].name;
}

FieldType OdbcStatement::declaredType(int column) const
{
    return m_columns[static_cast<std::size_t>(column)].declared;
}

std::string OdbcStatement::baseTable(int column) const
{
    return m_columns[static_cast<std::size_t>(column)].baseTable;
}

std::string OdbcStatement::baseColumn(int column) const
{
    return m_columns[static_cast<std::size_t>(column)].baseColumn;
}

bool OdbcStatement::isNull(int column) const
{
    return cellAt(column).kind == Cell::Kind::Null;
}

std::int64_t OdbcStatement::asInt64(int column) const
{
    const Cell cell = cellAt(column);
    switch (cell.kind) {
    case Cell::Kind::Integer:
        return cell.integer;
    case Cell::Kind::Real:
        return static_cast<std::int64_t>(cell.real);
    case Cell::Kind::Text:
        return std::strtoll(std::string(cell.bytes()).c_str(), nullptr, 10);
    default:
        return 0;
    }
}

double OdbcStatement::asDouble(int column) const
{
    const Cell cell = cellAt(column);
    switch (cell.kind) {
    case Cell::Kind::Integer:
        return static_cast<double>(cell.integer);
    case Cell::Kind::Real:
        return cell.real;
    case Cell::Kind::Text:
        return std::strtod(std::string(cell.bytes()).c_str(), nullptr);
    default:
        return 0;
    }
}

std::string_view OdbcStatement::asText(int column) const
{
    const Cell cell = cellAt(column);
    std::string &kept = m_dateTexts[static_cast<std::size_t>(column)];
    switch (cell.kind) {
    case Cell::Kind::Integer:
        kept = std::to_string(cell.integer);
        return kept;
    case Cell::Kind::Real: {
        char text[32];
        const int written = std::snprintf(text, sizeof text, "%.15g", cell.real);
        kept.assign(text, static_cast<std::size_t>(std::max(written, 0)));
        return kept;
    }
    case Cell::Kind::Text:
    case Cell::Kind::Blob:
        return cell.bytes();
    default:
        return {};
    }
}

Blob OdbcStatement::asBlob(int column) const
{
    const std::string_view bytes = asText(column);
    Blob blob;
    blob.bytes.assign(bytes.begin(), bytes.end());
    return blob;
}

FieldType OdbcStatement::valueType(int column) const
{
    switch (cellAt(column).kind) {
    case Cell::Kind::Integer:
        return FieldType::Integer;
    case Cell::Kind::Real:
        return FieldType::Float;
    case Cell::Kind::Text:
        return FieldType::String;
    case Cell::Kind::Blob:
        return FieldType::Blob;
    default:
        return FieldType::Other;
    }
}

int OdbcStatement::readRow(Cell *cells, int count) const
{
    const int read = std::min(count, columnCount());
    for (int column = 0; column < read; ++column)
        cells[column] = cellAt(column);
    return read;
}

bool OdbcStatement::isReadOnly() const
{
    const std::string_view sql = m_text;
    bool first = true;
    bool ended = false;
    for (std::size_t at = 0; at < sql.size();) {
        const SqlToken token = SqlScanner::next(sql, at);
        at = token.end;
        ended = ended || (token.kind == SqlToken::Kind::Other && sql[token.begin] == ';');
        if (token.kind != SqlToken::Kind::Word)
            continue;
        if (ended)
            return false; // a second statement
        const std::string_view word = token.text(sql);
        if (first) {
            first = false;
            if (!NameFold::same(word, "SELECT") && !NameFold::same(word, "WITH")
                && !NameFold::same(word, "VALUES"))
                return false;
        }
        if (isWritingWord(word))
            return false;
    }
    return !first;
}
