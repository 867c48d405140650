#pragma once

class ResultColumn;

// How many decimals the values of a real column need to show as they are: 524.4, 366 and
// 12.345 need 3, so that one column reads 524.400 / 366.000 / 12.345 with its points in line.
// Read once from the values (not per cell shown), at most `cap`; NULLs need none.
int ColumnDecimals(const ResultColumn &column, int cap);
