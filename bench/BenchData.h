#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

struct sqlite3;

// The benchmark's table "t": `rows` rows of ten columns (four numbers, three texts, three
// dates), the same every time for the same count.
bool CreateBenchDatabase(const std::string &path, int rows, std::string &error);

// The plain loop every figure is compared with: `sql` (over "t") stepped with sqlite3_step and
// every column read with the accessor of its type. Returns a sum of what it read.
std::size_t PlainStepLoopOnce(sqlite3 *db, const char *sql);

// The file of the table, for the benchmarks that open their own connection.
std::string &BenchFile();

// The targets are set for a million rows; smaller runs (CI's) print their ratios unjudged, since
// fixed costs weigh more there.
constexpr int kTargetRows = 1000000;
const char *TargetStatus(double ratio, double target, int rows);
void PrintRatio(const char *what, double value, double target, int rows);

inline double Fastest(const std::vector<double> &times)
{
    return *std::min_element(times.begin(), times.end());
}

// The machine is shared: each figure is the fastest of five runs, which other work disturbs
// least; main() interleaves the runs of the benchmarks so that a slow spell of the machine
// does not fall on one of them only.
#define QP_BENCH(name)                                                                             \
    BENCHMARK(name)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Repetitions(5)                                                                           \
        ->ComputeStatistics("min", Fastest)

// The command line of the Qt application each part of the benchmark makes for itself: Qt keeps a
// reference to it for the application's whole life.
struct BenchArguments
{
    int argc = 1;
    char name[9] = "qp_bench";
    char *argv[2] = { name, nullptr };

    static BenchArguments &Get()
    {
        static BenchArguments arguments;
        return arguments;
    }
};
