#pragma once

#include <cstddef>
#include <string>

struct sqlite3;

// The benchmark's table "t": `rows` rows of ten columns (four numbers, three texts, three
// dates), the same every time for the same count.
bool CreateBenchDatabase(const std::string &path, int rows, std::string &error);

// The plain loop every figure is compared with: `sql` (over "t") stepped with sqlite3_step and
// every column read with the accessor of its type. Returns a sum of what it read.
std::size_t PlainStepLoopOnce(sqlite3 *db, const char *sql);

// The targets are set for a million rows; smaller runs (CI's) print their ratios unjudged, since
// fixed costs weigh more there.
constexpr int kTargetRows = 1000000;
const char *TargetStatus(double ratio, double target, int rows);
