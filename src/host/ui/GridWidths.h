#pragma once

#include <vector>

// How a grid's columns share the width of its view.
namespace GridWidths {

// Widths for columns whose content needs `natural[i]` pixels, so that together they fill `room`
// exactly: spare room goes to every column in proportion to what it needs, and too little room
// is taken from each in the same proportion, down to `minimum`. A column with `fixed[i]` (the
// person sized it) keeps its natural width and the others share what it leaves.
std::vector<int> Share(
    const std::vector<int> &natural, const std::vector<bool> &fixed, int room, int minimum);

} // namespace GridWidths
