#pragma once

#include <cstddef>
#include <vector>

struct BoundFilter;
class ResultColumns;

// Runs a bound filter over the typed column storage a block of rows at a time: comparisons of
// numbers and dates read a whole block of a column in place, texts and mixed types go row by
// row. A row passes only where the whole filter is true; NULL operands make a comparison
// unknown, as in SQL.
struct FilterEvaluator
{
    static bool matches(const BoundFilter &filter, const ResultColumns &columns, std::size_t row);
    // Appends the rows of [begin, end) that pass, in order.
    static void select(const BoundFilter &filter, const ResultColumns &columns, std::size_t begin,
        std::size_t end, std::vector<int> &rows);
};
