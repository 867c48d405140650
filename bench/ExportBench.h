#pragma once

#include <map>
#include <string>

// The summary lines of the export benchmarks (ExportBench.cpp), from the fastest CPU time of
// each benchmark by name.
void PrintExportRatios(const std::map<std::string, double> &times, int rows);
