#pragma once

#include "store/Schema.h"

#include <string>
#include <string_view>
#include <vector>

struct ColumnDefinition;
struct IndexDefinition;
struct TableDefinition;

enum class SchemaEngine { Sqlite, PostgreSql, SqlServer };

// Writes the table definitions (SchemaDefinition.h) in one engine's words. On a server, names
// are unquoted and in the schema dbo (IQ statements name "dbo." objects), and the payroll
// database also holds the credentials; SQLite keeps them in a file of their own.
class SchemaDialect
{
public:
    explicit SchemaDialect(SchemaEngine engine)
        : m_engine(engine)
    {
    }

    // The tables of one database with their indexes and seed rows, then its views; one
    // statement an entry, without a terminator.
    std::vector<std::string> TableStatements(DatabaseKind kind) const;
    // Whether a table of `table`'s kind lives in a database of kind `database`.
    bool Holds(DatabaseKind database, DatabaseKind table) const;
    DatabaseKind Home(DatabaseKind table) const; // the database that holds a table of this kind
    std::string Name(std::string_view name) const; // "dbo.name" on a server
    std::string Literal(std::string_view text) const; // quoted, quotes doubled

private:
    std::string TypeName(const ColumnDefinition &column) const;
    std::string ColumnSql(const TableDefinition &table, const ColumnDefinition &column) const;
    std::string TableSql(const TableDefinition &table) const;
    std::string IndexSql(const TableDefinition &table, const IndexDefinition &index) const;
    std::string SeedSql(const TableDefinition &table) const;

    SchemaEngine m_engine;
};
