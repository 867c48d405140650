#include "host/core/Utf8Text.h"

#include <QString>

#include <cstdint>
#include <cstring>

namespace Utf8Text {

bool isAscii(std::string_view text)
{
    const char *at = text.data();
    const char *end = at + text.size();
    std::uint64_t high = 0;
    for (; end - at >= 8; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, at, 8);
        high |= word;
    }
    for (; at < end; ++at)
        high |= std::uint8_t(*at);
    return (high & 0x8080808080808080ULL) == 0;
}

qsizetype utf16Length(std::string_view text)
{
    // One unit per character, two for those beyond the BMP (four-byte sequences).
    qsizetype units = 0;
    for (const char c : text) {
        const auto b = std::uint8_t(c);
        units += (b & 0xC0) != 0x80;
        units += b >= 0xF0;
    }
    return units;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (!isAscii(a) || !isAscii(b)) // Unicode folds some letters into ASCII ones (U+017F to s)
        return QString::fromUtf8(a.data(), qsizetype(a.size()))
                   .compare(QString::fromUtf8(b.data(), qsizetype(b.size())), Qt::CaseInsensitive)
            == 0;
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] + 32) : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? char(b[i] + 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

} // namespace Utf8Text
