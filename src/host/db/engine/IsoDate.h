#pragma once

#include "host/db/engine/FieldType.h"

#include <cstdint>
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
    // path of loading a result. False for anything else, which parse() may still read.
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
};
