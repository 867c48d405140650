#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// One value crossing the engine boundary: a bound parameter or one cell read back.
// Dates travel as text in ISO form "YYYY-MM-DD HH:MM:SS[.zzz]" (what is stored in SQLite).
struct Blob
{
    std::vector<unsigned char> bytes;
    bool operator==(const Blob &) const = default;
};

using Value = std::variant<std::monostate, std::int64_t, double, std::string, Blob>;

inline bool isNull(const Value &v)
{
    return std::holds_alternative<std::monostate>(v);
}
