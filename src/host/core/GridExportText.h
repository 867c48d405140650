#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct GridExportValue;

// Values as the text formats write them, appended to an export's buffer: numbers in C notation,
// dates in ISO form, texts escaped as each format needs.
struct GridExportText
{
    static void AppendInteger(std::string &out, std::int64_t value);
    // Fixed notation with the fewest digits that read back as the same number; exponents only
    // from 1e15 and below 1e-6, where fixed would run to dozens of digits. Nothing for
    // infinities and NaN.
    static void AppendReal(std::string &out, double value);
    // "YYYY-MM-DD" for a value without a time of day, else the date, `separator` and
    // "HH:MM:SS", with ".zzz" when there are milliseconds.
    static void AppendDate(std::string &out, std::int64_t ms, char separator);
    static void AppendTime(std::string &out, std::int64_t ms); // "HH:MM:SS"
    static void AppendBase64(std::string &out, std::string_view bytes);
    // Any value as plain text: True/False, numbers, dates, texts as stored, bytes in base64;
    // nothing for NULL.
    static void AppendPlain(std::string &out, const GridExportValue &value, char separator = ' ');

    // A JSON string in quotes, and text for HTML. Both read UTF-8: a byte that starts no valid
    // sequence is written as U+FFFD, as the formats allow nothing else.
    static void AppendJsonString(std::string &out, std::string_view text);
    static void AppendHtml(std::string &out, std::string_view text);

    // The length (2 to 4) of the valid UTF-8 sequence that begins `text` with a byte of 0x80 or
    // above; 0 when the bytes are no such sequence (cut short, overlong, a surrogate, beyond
    // U+10FFFF).
    static std::size_t Utf8Sequence(std::string_view text);
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
};
