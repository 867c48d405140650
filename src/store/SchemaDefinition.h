#pragma once

#include "store/Schema.h"

#include <span>
#include <string_view>
#include <vector>

// The tables of every database, once, in terms no engine owns; SchemaDialect writes them for
// SQLite, PostgreSQL and SQL Server. The SQLite files reach the same tables through their
// versioned steps (Schema.h), which a test compares with these.

enum class ColumnType { Integer, Bit, Decimal, VarChar, Text, DateTime, Blob };

struct ColumnDefinition
{
    std::string_view name;
    ColumnType type = ColumnType::Integer;
    int width = 0; // characters of a VarChar, digits of a Decimal
    int scale = 0; // decimals of a Decimal
    bool notNull = false;
    bool primaryKey = false;
    bool identity = false; // a key the engine assigns on insert
    bool autoincrement = false; // SQLite: a deleted key is never given again
    bool unique = false;
    bool widthChecked = false; // SQLite keeps any length, so a check refuses a longer text
    std::string_view defaultValue {}; // a literal every engine reads alike ("0")
    std::string_view references {}; // "table (column)": rows go with the row they name

    ColumnDefinition NotNull() const { return With(&ColumnDefinition::notNull, true); }
    ColumnDefinition PrimaryKey() const { return With(&ColumnDefinition::primaryKey, true); }
    ColumnDefinition Autoincrement() const { return With(&ColumnDefinition::autoincrement, true); }
    ColumnDefinition Unique() const { return With(&ColumnDefinition::unique, true); }
    ColumnDefinition WidthChecked() const { return With(&ColumnDefinition::widthChecked, true); }
    ColumnDefinition Default(std::string_view value) const
    {
        return With(&ColumnDefinition::defaultValue, value);
    }
    ColumnDefinition References(std::string_view target) const
    {
        return With(&ColumnDefinition::references, target);
    }

    template <typename T> ColumnDefinition With(T ColumnDefinition::*member, T value) const
    {
        ColumnDefinition column = *this;
        column.*member = value;
        return column;
    }
};

ColumnDefinition Int(std::string_view name);
ColumnDefinition Identity(std::string_view name); // engine-assigned integer primary key
ColumnDefinition Bit(std::string_view name);
ColumnDefinition Decimal(std::string_view name, int digits, int decimals);
ColumnDefinition VarChar(std::string_view name, int width);
ColumnDefinition Text(std::string_view name);
ColumnDefinition DateTime(std::string_view name);
ColumnDefinition Blob(std::string_view name);

struct IndexDefinition
{
    std::string_view name;
    std::vector<std::string_view> columns;
    bool unique = false;
    bool ignoresCase = false; // unique in any letter case (one column)
};

struct TableDefinition
{
    std::string_view name;
    DatabaseKind kind;
    std::vector<ColumnDefinition> columns;
    std::vector<std::string_view> primaryKey {}; // when it spans columns
    std::vector<IndexDefinition> indexes {};
    std::vector<std::vector<std::string_view>> seed {}; // rows of text values, every column
};

// A view's text names its tables as "{dbo}name": each engine puts its schema there.
struct ViewDefinition
{
    std::string_view name;
    DatabaseKind kind;
    std::string_view select;
};

std::span<const TableDefinition> SchemaTables();
std::span<const ViewDefinition> SchemaViews();
