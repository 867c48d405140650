#include "host/db/dataset/ColumnDecimals.h"

#include "host/db/dataset/ResultColumn.h"

#include <algorithm>
#include <cmath>

namespace {

// Decimals `value` needs, at most `cap`. A stored 0.1 is 0.1000000000000000055...: the digits
// past what a double holds for the value's size do not count.
int DecimalsOf(double value, int cap)
{
    if (!std::isfinite(value))
        return 0;
    const double magnitude = std::fabs(value);
    double scaled = magnitude;
    for (int decimals = 0; decimals < cap; ++decimals) {
        const double tolerance = 1e-11 * std::max(1.0, scaled);
        if (std::fabs(scaled - std::round(scaled)) <= tolerance)
            return decimals;
        scaled *= 10;
    }
    return cap;
}

} // namespace

int ColumnDecimals(const ResultColumn &column, int cap)
{
    if (column.storage() != ResultColumn::Storage::Real)
        return 0;
    int needed = 0;
    const std::size_t count = column.size();
    for (std::size_t row = 0; row < count && needed < cap; ++row) {
        if (!column.isNull(row))
            needed = std::max(needed, DecimalsOf(column.realAt(row), cap));
    }
    return needed;
}
