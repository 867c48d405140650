#include "store/SchemaDialect.h"

#include "store/SchemaDefinition.h"

#include <algorithm>

namespace {

// SQL Server compares in the database's collation, which may heed letter case; a name that must
// be unique in any case says so itself.
const char *const kCaselessCollation = "Latin1_General_100_CI_AS";

std::string Join(const std::vector<std::string_view> &names)
{
    std::string text;
    for (const std::string_view name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

const TableDefinition *FindTable(std::string_view name)
{
    const auto tables = SchemaTables();
    const auto found = std::find_if(tables.begin(), tables.end(),
        [&](const TableDefinition &table) { return table.name == name; });
    return found == tables.end() ? nullptr : &*found;
}

bool InCaselessIndex(const TableDefinition &table, std::string_view column)
{
    return std::any_of(
        table.indexes.begin(), table.indexes.end(), [&](const IndexDefinition &index) {
            return index.ignoresCase && index.columns.front() == column;
        });
}

} // namespace

bool SchemaDialect::Holds(DatabaseKind database, DatabaseKind table) const
{
    return database == Home(table);
}

DatabaseKind SchemaDialect::Home(DatabaseKind table) const
{
    if (m_engine != SchemaEngine::Sqlite && table == DatabaseKind::Credentials)
        return DatabaseKind::Payroll;
    return table;
}

std::string SchemaDialect::Name(std::string_view name) const
{
    return (m_engine == SchemaEngine::Sqlite ? "" : "dbo.") + std::string(name);
}

std::string SchemaDialect::Literal(std::string_view text) const
{
    std::string quoted = m_engine == SchemaEngine::SqlServer ? "N'" : "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

std::string SchemaDialect::TypeName(const ColumnDefinition &column) const
{
    const bool sqlite = m_engine == SchemaEngine::Sqlite;
    const bool sqlServer = m_engine == SchemaEngine::SqlServer;
    switch (column.type) {
    case ColumnType::Integer:
        if (column.identity && m_engine == SchemaEngine::PostgreSql)
            return "SERIAL";
        if (column.identity && sqlServer)
            return "INT IDENTITY(1,1)";
        // Only this spelling makes the key SQLite's row id.
        return sqlite && column.primaryKey ? "INTEGER" : "INT";
    case ColumnType::Bit:
        // Bits are numbers on PostgreSQL, as IQ statements compare them with 0 and 1.
        return m_engine == SchemaEngine::PostgreSql ? "SMALLINT" : "BIT";
    case ColumnType::Decimal:
        return "DECIMAL(" + std::to_string(column.width) + "," + std::to_string(column.scale) + ")";
    case ColumnType::VarChar:
        return (sqlServer ? "NVARCHAR(" : "VARCHAR(") + std::to_string(column.width) + ")";
    case ColumnType::Text:
        return sqlServer ? "NVARCHAR(MAX)" : "TEXT";
    case ColumnType::DateTime:
        return sqlite ? "DATETIME" : sqlServer ? "DATETIME2(3)" : "TIMESTAMP(3)";
    case ColumnType::Blob:
        return sqlite ? "BLOB" : sqlServer ? "VARBINARY(MAX)" : "BYTEA";
    }
    return {};
}

std::string SchemaDialect::ColumnSql(
    const TableDefinition &table, const ColumnDefinition &column) const
{
    std::string sql = std::string(column.name) + " " + TypeName(column);
    if (m_engine == SchemaEngine::SqlServer && InCaselessIndex(table, column.name))
        sql += std::string(" COLLATE ") + kCaselessCollation;
    if (!column.defaultValue.empty())
        sql += " DEFAULT " + std::string(column.defaultValue);
    if (column.notNull)
        sql += " NOT NULL";
    if (column.primaryKey)
        sql += " PRIMARY KEY";
    if (column.autoincrement && m_engine == SchemaEngine::Sqlite)
        sql += " AUTOINCREMENT";
    // SQL Server's UNIQUE admits one null; no such column needs a second one (an IQ type without
    // a name means nothing).
    if (column.unique)
        sql += " UNIQUE";
    if (column.widthChecked)
        sql += std::string(" CHECK (") + (m_engine == SchemaEngine::SqlServer ? "LEN" : "length")
            + "(" + std::string(column.name) + ") <= " + std::to_string(column.width) + ")";
    if (!column.references.empty()) {
        const std::string_view target = column.references.substr(0, column.references.find(' '));
        const TableDefinition *parent = FindTable(target);
        // A foreign key cannot reach into another SQLite file.
        if (parent && Home(table.kind) == Home(parent->kind))
            sql += " REFERENCES " + Name(column.references) + " ON DELETE CASCADE";
    }
    return sql;
}

std::string SchemaDialect::TableSql(const TableDefinition &table) const
{
    std::string sql = "CREATE TABLE " + Name(table.name) + " (";
    const char *separator = "\n    ";
    for (const ColumnDefinition &column : table.columns) {
        sql += separator + ColumnSql(table, column);
        separator = ",\n    ";
    }
    if (!table.primaryKey.empty())
        sql += separator + std::string("PRIMARY KEY (") + Join(table.primaryKey) + ")";
    return sql + "\n)";
}

std::string SchemaDialect::IndexSql(
    const TableDefinition &table, const IndexDefinition &index) const
{
    std::string columns = Join(index.columns);
    if (index.ignoresCase && m_engine == SchemaEngine::Sqlite)
        columns += " COLLATE NOCASE";
    else if (index.ignoresCase && m_engine == SchemaEngine::PostgreSql)
        columns = "lower(" + columns + ")";
    return std::string(index.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ")
        + std::string(index.name) + " ON " + Name(table.name) + " (" + columns + ")";
}

std::string SchemaDialect::SeedSql(const TableDefinition &table) const
{
    std::vector<std::string_view> names;
    for (const ColumnDefinition &column : table.columns)
        names.push_back(column.name);
    std::string sql = "INSERT INTO " + Name(table.name) + " (" + Join(names) + ") VALUES";
    const char *rowSeparator = "\n    (";
    for (const std::vector<std::string_view> &row : table.seed) {
        sql += rowSeparator;
        for (std::size_t i = 0; i < row.size(); ++i)
            sql += (i ? ", " : "") + Literal(row[i]);
        sql += ")";
        rowSeparator = ",\n    (";
    }
    return sql;
}

std::vector<std::string> SchemaDialect::TableStatements(DatabaseKind kind) const
{
    std::vector<std::string> statements;
    for (const TableDefinition &table : SchemaTables()) {
        if (!Holds(kind, table.kind))
            continue;
        statements.push_back(TableSql(table));
        for (const IndexDefinition &index : table.indexes)
            statements.push_back(IndexSql(table, index));
        if (!table.seed.empty())
            statements.push_back(SeedSql(table));
    }
    for (const ViewDefinition &view : SchemaViews()) {
        if (!Holds(kind, view.kind))
            continue;
        std::string select(view.select);
        const std::string prefix = Name("");
        for (std::size_t at = select.find("{dbo}"); at != std::string::npos;
             at = select.find("{dbo}", at + prefix.size()))
            select.replace(at, 5, prefix);
        statements.push_back("CREATE VIEW " + Name(view.name) + " AS\n" + select);
    }
    return statements;
}
