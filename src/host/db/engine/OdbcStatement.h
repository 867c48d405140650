#pragma once

#include "host/db/engine/Statement.h"

#include <string>
#include <vector>

class OdbcConnection;

// One statement prepared once by the driver (SQLPrepare) and run with bound parameters
// (SQLBindParameter); made by OdbcConnection::prepare.
//
// Rows are fetched in blocks (SQL_ATTR_ROW_ARRAY_SIZE) into one buffer per column (column-wise
// binding), and step() walks the block: loading a result costs one driver call per block, not
// one per cell. Texts are bound at the width the driver declares; a longer value (a driver
// rarely knows the longest text) is read whole with SQLGetData when its row is reached, so no
// value is ever cut. A driver that cannot read one row of a block that way gets blocks of one
// row when the result has texts or bytes.
class OdbcStatement final : public Statement
{
public:
    OdbcStatement(OdbcConnection &connection, void *handle, std::string text);
    ~OdbcStatement() override;
    OdbcStatement(const OdbcStatement &) = delete;
    OdbcStatement &operator=(const OdbcStatement &) = delete;

    bool bind(int index, const Value &value) override;
    Step step() override;
    bool reset() override;

    int columnCount() const override { return static_cast<int>(m_columns.size()); }
    std::string columnName(int column) const override;
    FieldType declaredType(int column) const override;
    std::string baseTable(int column) const override;
    std::string baseColumn(int column) const override;

    bool isNull(int column) const override;
    std::int64_t asInt64(int column) const override;
    double asDouble(int column) const override;
    std::string_view asText(int column) const override;
    Blob asBlob(int column) const override;
    FieldType valueType(int column) const override;
    int readRow(Cell *cells, int count) const override;

    // Judged from the text (the driver cannot tell): one SELECT, VALUES or WITH ... SELECT
    // without a word that writes. The read-only login is what really stops a write.
    bool isReadOnly() const override;
    const DbError &lastError() const override { return m_error; }

    // The type class of an ODBC SQL data type (SQL_VARCHAR ...).
    static FieldType typeOf(short sqlType);
    // Rows per fetch of the current result (known after the first step).
    unsigned long blockRows() const { return m_blockRows; }
    // Describes the result columns from the prepared statement, without running it.
    bool describe();

private:
    enum class Buffer { Integer, Real, Text, Bytes, Date, Time, Timestamp };
    struct Column
    {
        std::string name;
        std::string baseTable;
        std::string baseColumn;
        short sqlType = 0;
        unsigned long size = 0;
        FieldType declared = FieldType::Other;
        Buffer buffer = Buffer::Text;
        long width = 0; // bytes of one row's buffer
        std::vector<char> data; // width × rows of the block
        std::vector<long> indicators; // SQLLEN per row: length or SQL_NULL_DATA
        std::string whole; // the current row's value when the block holds only its start
        bool usesWhole = false;
    };

    bool execute();
    bool bindColumns();
    Step fetchBlock();
    bool readTruncated(); // the current row's values longer than their buffers
    bool readWhole(int column);
    Cell cellAt(int column) const;
    Step fail(DbError error);

    OdbcConnection &m_connection;
    void *m_handle;
    std::string m_text;
    DbError m_error;
    std::vector<Value> m_parameters;
    std::vector<long> m_parameterLengths;
    std::vector<Column> m_columns;
    bool m_described = false;
    bool m_executed = false;
    bool m_finished = false;
    unsigned long m_blockRows = 1;
    unsigned long m_rowsFetched = 0;
    unsigned long m_row = 0; // in the block
    mutable std::vector<std::string> m_dateTexts; // per column, the current row's date as text
};
