#include "host/ui/GridWidths.h"

#include <algorithm>
#include <cstdint>

std::vector<int> GridWidths::Share(
    const std::vector<int> &natural, const std::vector<bool> &fixed, int room, int minimum)
{
    std::vector<int> widths = natural;
    std::int64_t free = room;
    std::int64_t needed = 0;
    int last = -1;
    for (std::size_t i = 0; i < natural.size(); ++i) {
        if (fixed[i]) {
            free -= natural[i];
        } else {
            needed += std::max(natural[i], 1);
            last = int(i);
        }
    }
    if (last < 0 || free <= 0)
        return widths;
    std::int64_t given = 0;
    for (std::size_t i = 0; i < natural.size(); ++i) {
        if (fixed[i])
            continue;
        const std::int64_t share = std::max(natural[i], 1) * free / needed;
        widths[i] = std::max<int>(minimum, int(share));
        given += widths[i];
    }
    // What the rounding left goes to the last shared column, so the columns end at the edge.
    widths[std::size_t(last)]
        = std::max<int>(minimum, int(widths[std::size_t(last)] + free - given));
    return widths;
}
