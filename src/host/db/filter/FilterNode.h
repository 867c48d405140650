#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The parsed form of a record filter ("cName = 'Smith' AND nTotal > 100"); see RecordFilter.

// The first fault of a filter text: where (0-based byte offset) and what.
struct FilterError
{
    std::size_t position = 0;
    std::string message;
    // "Error in the filter at position 9: ..." with the position counted from 1, as people do.
    std::string text() const
    {
        return "Error in the filter at position " + std::to_string(position + 1) + ": " + message;
    }
};

struct FilterOperand
{
    enum class Kind { Field, Number, Text, Boolean, Null };
    Kind kind = Kind::Null;
    std::string text; // field name, text literal (unescaped) or number as written
    double number = 0; // Number, Boolean (1 or 0)
    std::int64_t whole = 0;
    bool integral = false; // Number: a whole number that fits 64 bits (and Boolean)
    std::size_t position = 0;
};

// A field name that names no column.
inline FilterError unknownField(const FilterOperand &field)
{
    return FilterError { field.position, "unknown field \"" + field.text + "\"" };
}

struct FilterNode
{
    enum class Kind { And, Or, Not, Compare, Like, IsNull, In };
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

    Kind kind = Kind::Compare;
    Op op = Op::Equal;
    bool negated = false; // NOT LIKE, IS NOT NULL, NOT IN
    std::vector<std::unique_ptr<FilterNode>> children; // And, Or (two or more), Not (one)
    FilterOperand left;
    FilterOperand right; // Compare, Like
    std::vector<FilterOperand> list; // In
    std::size_t position = 0;
};
