// Dates arrive as database text of any origin and as values typed into filters. For any bytes:
// the fast reader of the two stored forms accepts exactly what the general reader accepts in
// those forms and reads the same instant; every date read prints as text that reads back as
// the same instant and kind; and any instant of the years 0000 to 9999 survives printing.
#include "host/db/engine/IsoDate.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void require(bool property)
{
    if (!property)
        std::abort();
}

// The general reader alone: a zero fraction keeps the instant but leaves the stored forms.
std::optional<std::int64_t> parseGeneral(std::string_view stored)
{
    const std::string text = std::string(stored) + (stored.size() == 10 ? " 00:00:00.0" : ".0");
    return IsoDate::parse(text);
}

void checkText(std::string_view text)
{
    FieldType kind = FieldType::Other;
    const std::optional<std::int64_t> parsed = IsoDate::parse(text, &kind);

    std::int64_t stored = 0;
    const bool fast = IsoDate::parseStored(text, stored);
    if (fast) {
        require(parsed == stored);
        require(kind == (text.size() == 19 ? FieldType::DateTime : FieldType::Date));
    }
    if (text.size() == 10 || text.size() == 19) {
        const std::optional<std::int64_t> general = parseGeneral(text);
        require(general.has_value() == fast);
        require(!fast || *general == stored);
    }

    if (parsed) {
        require(kind == FieldType::Date || kind == FieldType::DateTime || kind == FieldType::Time);
        const std::string printed = IsoDate::format(*parsed, kind);
        FieldType again = FieldType::Other;
        require(IsoDate::parse(printed, &again) == parsed);
        require(again == kind);
    }
}

// Any instant the four-digit years can hold, printed with its time, reads back unchanged.
void checkInstant(std::int64_t raw)
{
    static const std::int64_t first = IsoDate::fromParts(0, 1, 1);
    static const std::int64_t span = IsoDate::fromParts(10000, 1, 1) - first;
    const std::int64_t ms
        = first + static_cast<std::int64_t>(static_cast<std::uint64_t>(raw) % span);
    int year, month, day, hour, minute, second, millisecond;
    IsoDate::toParts(ms, year, month, day, hour, minute, second, millisecond);
    require(IsoDate::fromParts(year, month, day, hour, minute, second, millisecond) == ms);
    require(IsoDate::parse(IsoDate::format(ms, FieldType::DateTime)) == ms);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    checkText(std::string_view(reinterpret_cast<const char *>(data), size));
    if (size >= sizeof(std::int64_t)) {
        std::int64_t raw;
        std::memcpy(&raw, data, sizeof raw);
        checkInstant(raw);
    }
    return 0;
}
