#pragma once

#include <string>

// Runs an IQ over the benchmark table into the result window (prepare, open, grid layout, first
// paint offscreen) and compares it with a plain sqlite3_step loop over the same statement.
// Prints its figures; returns false when the window path fails or misses its target.
bool RunViewBenchmark(const std::string &benchFile, int rows);
