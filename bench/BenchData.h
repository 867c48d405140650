#pragma once

#include <string>

// The benchmark's table "t": `rows` rows of ten columns (four numbers, three texts, three
// dates), the same every time for the same count.
bool CreateBenchDatabase(const std::string &path, int rows, std::string &error);
