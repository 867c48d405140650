#include "host/core/GlobalMessages.h"

#include <map>

namespace {
std::map<int, GlobalMessages::Record> &Records()
{
    static std::map<int, GlobalMessages::Record> records;
    return records;
}
int g_lastHandle = 0;
}

int GlobalMessages::add(const Record &record)
{
    // Handles only grow, so a stale handle can never deliver a newer record.
    const int handle = ++g_lastHandle;
    Records().emplace(handle, record);
    return handle;
}

std::optional<GlobalMessages::Record> GlobalMessages::take(int handle)
{
    auto found = Records().find(handle);
    if (found == Records().end())
        return std::nullopt;
    Record record = found->second;
    Records().erase(found);
    return record;
}

int GlobalMessages::count()
{
    return int(Records().size());
}
