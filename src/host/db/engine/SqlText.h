#pragma once

#include "host/db/engine/Value.h"

#include <string>
#include <string_view>
#include <vector>

class Statement;

// Small pieces of SQL text that every engine reads the same way.
struct SqlText
{
    // "name" with inner quotes doubled: a column name can never end the identifier early.
    static std::string quoteIdentifier(std::string_view name);
    // "x", [x], `x` -> x (doubled quotes inside made single); plain names as they are.
    static std::string unquoteIdentifier(std::string_view name);
    // Splits "schema.table" at the first dot outside quotes, both unquoted; schema empty when
    // unqualified.
    static void splitName(std::string_view name, std::string &schema, std::string &table);
    // The table's own name without owner, schema or brackets: "dbo.[x]" -> "x".
    static std::string bareName(std::string_view qualified);
    // The current row's cell as a Value (NULL, number, text or blob).
    static Value cell(const Statement &statement, int column);

    // The statements that write and read back one row of a table by its key. The table goes in
    // as given ("dbo.x"), columns quoted; every value is a "?", in the order of `columns`, the
    // key's last.
    static std::string insertRow(std::string_view table, const std::vector<std::string> &columns);
    static std::string updateRow(
        std::string_view table, const std::vector<std::string> &columns, std::string_view key);
    static std::string deleteRow(std::string_view table, std::string_view key);
    static std::string selectRow(std::string_view table, std::string_view key);
};
