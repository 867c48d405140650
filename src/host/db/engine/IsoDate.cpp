#include "host/db/engine/IsoDate.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil calendar algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int &year, int &month, int &day)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

std::uint64_t load8(const char *c)
{
    std::uint64_t value;
    std::memcpy(&value, c, sizeof value);
    return value;
}

// Every byte of `x` at most 9 (the digits of a text XORed with '0').
bool allAtMostNine(std::uint64_t x)
{
    // Adding 0x76 sets a byte's high bit exactly when it exceeds 9; a byte that already has
    // its high bit fails through `x` itself, whatever its carry does to the next one.
    return ((x | (x + 0x7676767676767676ULL)) & 0x8080808080808080ULL) == 0;
}

int byteAt(std::uint64_t x, int index)
{
    return static_cast<int>((x >> (8 * index)) & 0xff);
}

bool isLeap(int year)
{
    // year % 100 != 0 is year % 25 != 0 once year % 4 == 0; % 400 likewise % 16.
    return (year & 3) == 0 && (year % 25 != 0 || (year & 15) == 0);
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to 1 January of each year the databases hold in practice.
constexpr int kFirstYear = 1600;
constexpr int kLastYear = 2400;
struct YearStarts
{
    std::int64_t days[kLastYear - kFirstYear + 2];
};
const YearStarts kYearStarts = [] {
    YearStarts starts {};
    for (int year = kFirstYear; year <= kLastYear + 1; ++year)
        starts.days[year - kFirstYear] = daysFromCivil(year, 1, 1);
    return starts;
}();

// Per leap year or not and month (1-12; 0 is no month): days of the year before it, its length.
struct MonthDays
{
    std::int16_t before;
    std::int16_t length;
};
constexpr MonthDays kMonths[2][13] = {
    { { 0, 0 }, { 0, 31 }, { 31, 28 }, { 59, 31 }, { 90, 30 }, { 120, 31 }, { 151, 30 },
        { 181, 31 }, { 212, 31 }, { 243, 30 }, { 273, 31 }, { 304, 30 }, { 334, 31 } },
    { { 0, 0 }, { 0, 31 }, { 31, 29 }, { 60, 31 }, { 91, 30 }, { 121, 31 }, { 152, 30 },
        { 182, 31 }, { 213, 31 }, { 244, 30 }, { 274, 31 }, { 305, 30 }, { 335, 31 } },
};

// Days since 1970-01-01 of a date, or nullopt when there is no such day.
std::optional<std::int64_t> checkedDays(unsigned year, unsigned month, unsigned day)
{
    if (year - kFirstYear <= unsigned(kLastYear - kFirstYear) && month <= 12) {
        const std::int64_t *start = &kYearStarts.days[year - kFirstYear];
        const MonthDays &days = kMonths[start[1] - start[0] == 366][month];
        if (day - 1 >= unsigned(days.length)) // also day 0 and month 0
            return std::nullopt;
        return start[0] + days.before + day - 1;
    }
    if (month < 1 || month > 12 || day < 1 || int(day) > daysInMonth(int(year), int(month)))
        return std::nullopt;
    return daysFromCivil(year, month, day);
}

inline std::int64_t compose(
    int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    std::int64_t days;
    if (year >= kFirstYear && year <= kLastYear && month >= 1 && month <= 12) {
        static constexpr int daysBefore[]
            = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334 };
        const std::int64_t *start = &kYearStarts.days[year - kFirstYear];
        const bool leap = start[1] - start[0] == 366;
        days = start[0] + daysBefore[month - 1] + (month > 2 && leap) + day - 1;
    } else {
        days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    }
    return days * kMsPerDay + ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000
        + millisecond;
}

class Reader
{
public:
    explicit Reader(std::string_view text)
        : m_text(text)
    {
    }
    bool atEnd() const { return m_pos == m_text.size(); }
    bool peek(char c) const { return m_pos < m_text.size() && m_text[m_pos] == c; }
    bool take(char c)
    {
        if (!peek(c))
            return false;
        ++m_pos;
        return true;
    }
    // Exactly `count` digits.
    bool digits(int count, int &value)
    {
        value = 0;
        for (int i = 0; i < count; ++i) {
            if (m_pos >= m_text.size() || m_text[m_pos] < '0' || m_text[m_pos] > '9')
                return false;
            value = value * 10 + (m_text[m_pos++] - '0');
        }
        return true;
    }
    // Fraction of a second after the ".": 1 to 9 digits, milliseconds kept.
    bool fraction(int &ms)
    {
        ms = 0;
        int count = 0;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') {
            if (count < 3)
                ms = ms * 10 + (m_text[m_pos] - '0');
            ++count;
            ++m_pos;
        }
        if (count == 0 || count > 9)
            return false;
        for (int i = count; i < 3; ++i)
            ms *= 10;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool readTime(Reader &in, int &hour, int &minute, int &second, int &ms)
{
    second = 0;
    ms = 0;
    if (!in.digits(2, hour) || !in.take(':') || !in.digits(2, minute))
        return false;
    if (in.take(':')) {
        if (!in.digits(2, second))
            return false;
        if (in.take('.') && !in.fraction(ms))
            return false;
    }
    return hour < 24 && minute < 60 && second < 60;
}

} // namespace

bool IsoDate::parseStored(std::string_view text, std::int64_t &ms)
{
    // Checked and read eight characters at a time: the open of a million rows parses three
    // million of them.
    const bool timed = text.size() == 19;
    if (!timed && text.size() != 10)
        return false;
    const char *c = text.data();
    // "YYYY-MM-": the digits become 0..9 and the dashes 0; then byte k holds the two-digit
    // number starting at k (each at most 99, so no byte carries into the next).
    const std::uint64_t head = load8(c) ^ 0x2d30302d30303030ULL;
    const unsigned d0 = static_cast<unsigned char>(c[8]) - '0';
    const unsigned d1 = static_cast<unsigned char>(c[9]) - '0';
    if (!allAtMostNine(head) || (head & 0xff0000ff00000000ULL) != 0 || d0 > 9 || d1 > 9)
        return false;
    const std::uint64_t pairs = head * 10 + (head >> 8);
    const auto days = checkedDays(unsigned(byteAt(pairs, 0) * 100 + byteAt(pairs, 2)),
        unsigned(byteAt(pairs, 5)), d0 * 10 + d1);
    if (!days)
        return false;
    std::int64_t seconds = 0;
    if (timed) {
        // " HH:MM:SS" (or "T"): likewise, with the colons 0.
        const std::uint64_t time = load8(c + 11) ^ 0x30303a30303a3030ULL;
        if ((c[10] != ' ' && c[10] != 'T') || !allAtMostNine(time)
            || (time & 0x0000ff0000ff0000ULL) != 0)
            return false;
        const std::uint64_t parts = time * 10 + (time >> 8);
        const int hour = byteAt(parts, 0), minute = byteAt(parts, 3), second = byteAt(parts, 6);
        if (hour > 23 || minute > 59 || second > 59)
            return false;
        seconds = (hour * 60 + minute) * 60 + second;
    }
    ms = *days * kMsPerDay + seconds * 1000;
    return true;
}

std::optional<std::int64_t> IsoDate::parse(std::string_view text, FieldType *kind)
{
    if (std::int64_t stored; parseStored(text, stored)) {
        if (kind)
            *kind = text.size() == 19 ? FieldType::DateTime : FieldType::Date;
        return stored;
    }
    // A time alone: "HH:MM..." has its colon third.
    if (text.size() >= 5 && text[2] == ':') {
        Reader in(text);
        int hour, minute, second, ms;
        if (!readTime(in, hour, minute, second, ms) || !in.atEnd())
            return std::nullopt;
        if (kind)
            *kind = FieldType::Time;
        return fromParts(1970, 1, 1, hour, minute, second, ms);
    }
    Reader in(text);
    int year, month, day;
    if (!in.digits(4, year) || !in.take('-') || !in.digits(2, month) || !in.take('-')
        || !in.digits(2, day))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    if (in.atEnd()) {
        if (kind)
            *kind = FieldType::Date;
        return fromParts(year, month, day);
    }
    if (!in.take(' ') && !in.take('T'))
        return std::nullopt;
    int hour, minute, second, ms;
    if (!readTime(in, hour, minute, second, ms) || !in.atEnd())
        return std::nullopt;
    if (kind)
        *kind = FieldType::DateTime;
    return fromParts(year, month, day, hour, minute, second, ms);
}

std::string IsoDate::format(std::int64_t ms, FieldType type, Fraction fraction)
{
    int year, month, day, hour, minute, second, millisecond;
    toParts(ms, year, month, day, hour, minute, second, millisecond);
    char buffer[48];
    const bool dateOnly = type == FieldType::Date && !(hour || minute || second || millisecond);
    if (type == FieldType::Time) {
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hour, minute, second);
    } else if (dateOnly) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
            hour, minute, second);
    }
    std::string out(buffer);
    const bool fractionShown
        = fraction == Fraction::Always || (fraction == Fraction::WhenPresent && millisecond);
    if (fractionShown && !dateOnly) {
        std::snprintf(buffer, sizeof buffer, ".%03d", millisecond);
        out += buffer;
    }
    return out;
}

std::int64_t IsoDate::fromParts(
    int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    return compose(year, month, day, hour, minute, second, millisecond);
}

void IsoDate::toParts(std::int64_t ms, int &year, int &month, int &day, int &hour, int &minute,
    int &second, int &millisecond)
{
    std::int64_t days = ms / kMsPerDay;
    std::int64_t rest = ms % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --days;
    }
    civilFromDays(days, year, month, day);
    millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    second = static_cast<int>(rest % 60);
    rest /= 60;
    minute = static_cast<int>(rest % 60);
    hour = static_cast<int>(rest / 60);
}
