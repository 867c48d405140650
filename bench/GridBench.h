#pragma once

#include <map>
#include <string>

// The summary lines of the grid benchmarks (GridBench.cpp): a text sort and a filter cleared,
// each against the plainest loop over the same values.
void PrintGridRatios(const std::map<std::string, double> &times, int rows);
// Releases the rows the grid benchmarks opened.
void ReleaseGridBench();
