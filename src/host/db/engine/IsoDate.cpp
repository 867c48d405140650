#include "host/db/engine/IsoDate.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil calendar algorithm).
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
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

constexpr bool isLeap(int year)
{
    // year % 100 != 0 is year % 25 != 0 once year % 4 == 0; % 400 likewise % 16.
    return (year & 3) == 0 && (year % 25 != 0 || (year & 15) == 0);
}

constexpr int daysInMonth(int year, int month)
{
    constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
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

// Made at compile time, so that no initialiser of another file's statics can find it empty.
alignas(64) constinit const std::array<std::uint32_t, IsoDate::kMonthCount> IsoDate::kMonths = [] {
    std::array<std::uint32_t, kMonthCount> months {};
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const std::int64_t first = daysFromCivil(year, unsigned(month), 1) + kDayBias;
            months[std::size_t(year - kFirstYear) * 16 + std::size_t(month)]
                = std::uint32_t(first << 5) | std::uint32_t(daysInMonth(year, month));
        }
    }
    return months;
}();

bool IsoDate::checkedDaysOutside(unsigned year, unsigned month, unsigned day, std::int64_t &days)
{
    const int y = static_cast<int>(year);
    if (month < 1 || month > 12 || day < 1 || int(day) > daysInMonth(y, int(month)))
        return false;
    days = daysFromCivil(y, month, day);
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
    // Parts out of their range count on, as the civil algorithm counts them: day 0 is the last
    // day of the month before.
    std::int64_t days;
    if (year >= kFirstYear && year <= kLastYear && month >= 1 && month <= 12)
        days = daysOf(monthEntry(unsigned(year), unsigned(month)), day);
    else
        days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return days * kMsPerDay + ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000
        + millisecond;
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
