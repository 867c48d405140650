#pragma once

#include "host/db/engine/FieldType.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

// Dates as the databases store them: ISO text "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS[.zzz]" (a "T"
// is accepted for the blank) or a time "HH:MM[:SS[.zzz]]". In memory they are milliseconds
// since 1970-01-01 00:00 without a time zone (a time alone counts from that midnight), so dates
// compare and sort as plain numbers.
struct IsoDate
{
    // nullopt when the text is not such a date; `kind` receives Date, DateTime or Time.
    static std::optional<std::int64_t> parse(std::string_view text, FieldType *kind = nullptr);
    // Only the two forms the databases write, "YYYY-MM-DD" and "YYYY-MM-DD HH:MM:SS": the fast
    // path of loading a result, inline below. False for anything else, which parse() may still
    // read.
    static bool parseStored(std::string_view text, std::int64_t &ms);
    // Whether a time prints its milliseconds: when it has some (values people read), always
    // (moments the programs write, "YYYY-MM-DD HH:MM:SS.zzz", so that they sort as text), or
    // never (to the second).
    enum class Fraction { WhenPresent, Always, Never };
    // Date fields without a time print the date only.
    static std::string format(
        std::int64_t ms, FieldType type, Fraction fraction = Fraction::WhenPresent);
    static std::int64_t fromParts(int year, int month, int day, int hour = 0, int minute = 0,
        int second = 0, int millisecond = 0);
    static void toParts(std::int64_t ms, int &year, int &month, int &day, int &hour, int &minute,
        int &second, int &millisecond);

private:
    // The calendar of the years the databases hold in practice: entry (year - kFirstYear) * 16 +
    // month holds (the day of the month's 1st since 1970 + kDayBias) << 5 | the month's length.
    // Month 0 and 13 to 15 are 0, so that no day fits them.
    static constexpr int kFirstYear = 1600;
    static constexpr int kLastYear = 2400;
    static constexpr std::int64_t kDayBias = std::int64_t(1) << 20;
    static constexpr std::size_t kMonthCount = (kLastYear - kFirstYear + 1) * 16;
    alignas(64) static const std::array<std::uint32_t, kMonthCount> kMonths; // a year a line

    // The table's entry of a year from kFirstYear to kLastYear and a month from 0 to 15.
    static std::uint32_t monthEntry(unsigned year, unsigned month)
    {
        return kMonths[(year - kFirstYear) * 16 + month];
    }
    // Days since 1970-01-01 of the entry's month's day `day`; days past its end count on.
    static std::int64_t daysOf(std::uint32_t entry, std::int64_t day)
    {
        return static_cast<std::int64_t>(entry >> 5) - kDayBias + day - 1;
    }
    // Days since 1970-01-01 of a date; false when there is no such day.
    static bool checkedDays(unsigned year, unsigned month, unsigned day, std::int64_t &days)
    {
        if (year - kFirstYear > unsigned(kLastYear - kFirstYear) || month > 15) [[unlikely]]
            return checkedDaysOutside(year, month, day, days);
        const std::uint32_t entry = monthEntry(year, month);
        if (day - 1 >= (entry & 31)) // also day 0, and every day of month 0
            return false;
        days = daysOf(entry, day);
        return true;
    }
    static bool checkedDaysOutside(unsigned year, unsigned month, unsigned day, std::int64_t &days);

    static std::uint64_t load8(const char *c)
    {
        std::uint64_t value;
        std::memcpy(&value, c, sizeof value);
        return value;
    }
    // The bytes of `x` above 9 (the digits of a text XORed with '0'), as their high bits.
    static std::uint64_t aboveNine(std::uint64_t x)
    {
        // Adding 0x76 sets a byte's high bit exactly when it exceeds 9; a byte that already has
        // its high bit fails through `x` itself, whatever its carry does to the next one.
        return (x | (x + 0x7676767676767676ULL)) & 0x8080808080808080ULL;
    }
};

// Inline, as the load of a million rows parses three million of these: checked and read eight
// characters at a time, the checks of each group joined into one test.
inline bool IsoDate::parseStored(std::string_view text, std::int64_t &ms)
{
    const bool timed = text.size() == 19;
    if (!timed && text.size() != 10)
        return false;
    const char *c = text.data();
    // "YYYY-MM-" and "YY-MM-DD": the digits become 0..9 and the dashes 0; then byte k of
    // x * 10 + (x >> 8) holds the two-digit number starting at k (at most 99: no carry).
    const std::uint64_t head = load8(c) ^ 0x2d30302d30303030ULL;
    const std::uint64_t tail = load8(c + 2) ^ 0x30302d30302d3030ULL;
    if ((aboveNine(head) | aboveNine(tail) | (head & 0xff0000ff00000000ULL)
            | (tail & 0x0000ff0000ff0000ULL))
        != 0)
        return false;
    const std::uint64_t pairs = head * 10 + (head >> 8);
    const auto byteAt = [](std::uint64_t x, int index) {
        return static_cast<unsigned>((x >> (8 * index)) & 0xff);
    };
    std::int64_t days;
    if (!checkedDays(byteAt(pairs, 0) * 100 + byteAt(pairs, 2), byteAt(pairs, 5),
            byteAt(tail * 10 + (tail >> 8), 6), days))
        return false;
    std::int64_t seconds = days * 86400;
    if (timed) {
        // " HH:MM:SS" (or "T"): likewise, with the colons 0. Adding 128 - limit to the hour,
        // minute and second sets their high bits when they reach their limits.
        const std::uint64_t time = load8(c + 11) ^ 0x30303a30303a3030ULL;
        const std::uint64_t parts = time * 10 + (time >> 8);
        const std::uint64_t over = (parts & 0x00ff0000ff0000ffULL) + 0x0044000044000068ULL;
        if ((c[10] != ' ' && c[10] != 'T')
            || (aboveNine(time) | (time & 0x0000ff0000ff0000ULL) | (over & 0x0080000080000080ULL))
                != 0)
            return false;
        seconds += std::int64_t(byteAt(parts, 0)) * 3600 + byteAt(parts, 3) * 60 + byteAt(parts, 6);
    }
    ms = seconds * 1000;
    return true;
}
