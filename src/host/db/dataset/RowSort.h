#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class ResultColumn;

// Orders the rows of one result column for the grid's sort. Each key is read (and, for text,
// folded) once; the comparisons then touch no column and convert nothing, so a million texts
// sort in about the time of a plain sort of their views. Equal keys keep their row order, and
// NULLs come first ascending, last descending.
namespace RowSort {

// Text compared as the grid shows it: ignoring letter case, byte for byte after that (UTF-8
// byte order is code point order). Letters outside ASCII are case-folded before the sort.
int compareFolded(std::string_view a, std::string_view b);
inline bool lessFolded(std::string_view a, std::string_view b)
{
    return compareFolded(a, b) < 0;
}

// Every row of `column` (0 .. size()-1) in order. `asText`: by the text of each value (numbers
// printed); otherwise by its number (dates in ms).
std::vector<int> sortedRows(const ResultColumn &column, bool asText, bool descending);

} // namespace RowSort
