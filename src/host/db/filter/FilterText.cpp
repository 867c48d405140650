#include "host/db/filter/FilterText.h"

#include <charconv>

std::string FilterText::fold(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    return out;
}

bool FilterText::like(std::string_view text, std::string_view pattern)
{
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    auto charLength = [&](std::size_t at) {
        std::size_t length = 1;
        while (at + length < text.size()
            && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
            ++length;
        return length;
    };
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '_') {
            ++p;
            t += charLength(t);
        } else if (p < pattern.size()
            && kFold[static_cast<unsigned char>(text[t])]
                == static_cast<unsigned char>(pattern[p])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starT += charLength(starT);
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

bool FilterText::parseNumber(
    std::string_view text, double &number, std::int64_t &whole, bool &integral)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    const auto real = std::from_chars(begin, end, number);
    if (text.empty() || real.ec != std::errc() || real.ptr != end)
        return false;
    const auto integer = std::from_chars(begin, end, whole);
    integral = integer.ec == std::errc() && integer.ptr == end;
    return true;
}
