#pragma once

#include <map>
#include <string>

// The summary lines of the exchange benchmarks (ExchangeBench.cpp): import and export of the IQ
// file against plain loops, and the import's peak memory against the file's size.
void PrintExchangeRatios(const std::map<std::string, double> &times, int rows);
