#include "host/core/GridExportText.h"

#include "host/core/GridExportValue.h"
#include "host/db/engine/IsoDate.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

void AppendDigits(std::string &out, int value, int digits)
{
    char buffer[4];
    for (int i = digits - 1; i >= 0; --i) {
        buffer[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(buffer, std::size_t(digits));
}

void AppendClock(std::string &out, int hour, int minute, int second)
{
    AppendDigits(out, hour, 2);
    out += ':';
    AppendDigits(out, minute, 2);
    out += ':';
    AppendDigits(out, second, 2);
}

// Copies the runs of `text` that need nothing and calls `escape` for each byte that does, or
// writes U+FFFD for a byte that starts no valid UTF-8 sequence.
template <typename NeedsEscape, typename Escape>
void AppendEscaped(std::string &out, std::string_view text, NeedsEscape needs, Escape escape)
{
    std::size_t run = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (!needs(c)) {
                ++i;
                continue;
            }
            out.append(text.data() + run, i - run);
            escape(c);
            run = ++i;
            continue;
        }
        const std::size_t length = GridExportText::Utf8Sequence(text.substr(i));
        if (length > 0) {
            i += length;
            continue;
        }
        out.append(text.data() + run, i - run);
        out += GridExportText::kReplacement;
        run = ++i;
    }
    out.append(text.data() + run, text.size() - run);
}

} // namespace

void GridExportText::AppendInteger(std::string &out, std::int64_t value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, std::size_t(end - buffer));
}

void GridExportText::AppendReal(std::string &out, double value)
{
    if (!std::isfinite(value))
        return;
    const double size = std::fabs(value);
    const auto format = size != 0 && (size >= 1e15 || size < 1e-6) ? std::chars_format::general
                                                                   : std::chars_format::fixed;
    char buffer[64]; // in fixed notation: 15 digits before the point, 6 zeros and 17 after
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, format).ptr;
    out.append(buffer, std::size_t(end - buffer));
}

void GridExportText::AppendDate(std::string &out, std::int64_t ms, char separator)
{
    int year, month, day, hour, minute, second, millisecond;
    IsoDate::toParts(ms, year, month, day, hour, minute, second, millisecond);
    if (year < 0 || year > 9999) {
        char buffer[16];
        out.append(buffer, std::size_t(std::snprintf(buffer, sizeof buffer, "%04d", year)));
    } else {
        AppendDigits(out, year, 4);
    }
    out += '-';
    AppendDigits(out, month, 2);
    out += '-';
    AppendDigits(out, day, 2);
    if (!(hour || minute || second || millisecond))
        return;
    out += separator;
    AppendClock(out, hour, minute, second);
    if (millisecond) {
        out += '.';
        AppendDigits(out, millisecond, 3);
    }
}

void GridExportText::AppendTime(std::string &out, std::int64_t ms)
{
    const std::int64_t seconds = ms % kMsPerDay / 1000;
    AppendClock(out, int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
}

void GridExportText::AppendBase64(std::string &out, std::string_view bytes)
{
    static constexpr char kDigits[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16
            | std::uint32_t(std::uint8_t(bytes[i + 1])) << 8 | std::uint8_t(bytes[i + 2]);
        const char four[] = { kDigits[group >> 18], kDigits[group >> 12 & 63],
            kDigits[group >> 6 & 63], kDigits[group & 63] };
        out.append(four, 4);
    }
    if (i == bytes.size())
        return;
    const bool two = i + 2 == bytes.size();
    const std::uint32_t group = std::uint32_t(std::uint8_t(bytes[i])) << 16
        | (two ? std::uint32_t(std::uint8_t(bytes[i + 1])) << 8 : 0);
    const char four[] = { kDigits[group >> 18], kDigits[group >> 12 & 63],
        two ? kDigits[group >> 6 & 63] : '=', '=' };
    out.append(four, 4);
}

void GridExportText::AppendPlain(std::string &out, const GridExportValue &value, char separator)
{
    using Kind = GridExportValue::Kind;
    switch (value.kind) {
    case Kind::Null:
        return;
    case Kind::Bool:
        out += value.integer ? "True" : "False";
        return;
    case Kind::Integer:
        AppendInteger(out, value.integer);
        return;
    case Kind::Real:
        AppendReal(out, value.real);
        return;
    case Kind::Date:
        AppendDate(out, value.integer, separator);
        return;
    case Kind::Time:
        AppendTime(out, value.integer);
        return;
    case Kind::Text:
        out += value.text;
        return;
    case Kind::Bytes:
        AppendBase64(out, value.text);
        return;
    }
}

void GridExportText::AppendJsonString(std::string &out, std::string_view text)
{
    out += '"';
    AppendEscaped(
        out, text, [](unsigned char c) { return c < 0x20 || c == '"' || c == '\\'; },
        [&out](unsigned char c) {
            switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default: {
                static constexpr char kHex[] = "0123456789abcdef";
                const char escape[] = { '\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15] };
                out.append(escape, sizeof escape);
            }
            }
        });
    out += '"';
}

void GridExportText::AppendHtml(std::string &out, std::string_view text)
{
    AppendEscaped(
        out, text, [](unsigned char c) { return c == '<' || c == '>' || c == '&' || c == '"'; },
        [&out](unsigned char c) {
            out += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : "&quot;";
        });
}

std::size_t GridExportText::Utf8Sequence(std::string_view text)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80; // the second byte's range, narrowed where overlongs and
    unsigned char high = 0xBF; // surrogates would begin
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}
