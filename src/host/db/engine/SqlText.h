#pragma once

#include "host/db/engine/Value.h"

#include <string>
#include <string_view>

class Statement;

// Small pieces of SQL text that every engine reads the same way.
struct SqlText
{
    // "name" with inner quotes doubled: a column name can never end the identifier early.
    static std::string quoteIdentifier(std::string_view name);
    // The table's own name without owner, schema or brackets: "dbo.[x]" -> "x".
    static std::string bareName(std::string_view qualified);
    // The current row's cell as a Value (NULL, number, text or blob).
    static Value cell(const Statement &statement, int column);
};
