#pragma once

#include "host/db/filter/FilterNode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A record filter bound to a set of columns (FilterBinder): field names resolved to column
// indexes, literals converted to the field's storage. FilterEvaluator runs it.
struct BoundFilter
{
    enum class Kind {
        And,
        Or,
        Not,
        Constant,
        IntegerCompare, // the field's words (Integer or Date storage) with `integer`
        RealCompare, // the field's numbers with `real`
        TextCompare, // the field's texts with the folded `text`
        IsNull,
        Like, // the field's texts with the folded pattern `text`; without a field, `a` LIKE `b`
        Generic // `a` with `b`, one row at a time
    };

    // A value while comparing outside the fast paths.
    struct Scalar
    {
        enum class Kind { Null, Number, Text };
        Kind kind = Kind::Null;
        double number = 0;
        std::string text; // Text; a Number as written
    };

    struct Operand
    {
        int field = -1; // -1: the literal
        Scalar literal;
    };

    Kind kind = Kind::Constant;
    FilterNode::Op op = FilterNode::Op::Equal;
    bool negated = false;
    std::vector<BoundFilter> children;
    int field = -1;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
    std::optional<bool> constant; // Constant: true, false or unknown
    Operand a, b;
};
