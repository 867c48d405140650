#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// How the record filter reads text values, as SQLite's NOCASE collation and LIKE do: the letter
// case of A-Z is ignored and every other byte counts. (Names follow NameFold instead.) The
// comparisons run once per row, so they are inline.
struct FilterText
{
    static constexpr std::array<unsigned char, 256> kFold = [] {
        std::array<unsigned char, 256> table {};
        for (int c = 0; c < 256; ++c)
            table[static_cast<std::size_t>(c)]
                = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return table;
    }();

    static std::string fold(std::string_view text);

    // Compares `text` with an already folded constant.
    static int compareFolded(std::string_view text, std::string_view constant)
    {
        const std::size_t length = std::min(text.size(), constant.size());
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned char a = kFold[static_cast<unsigned char>(text[i])];
            const unsigned char b = static_cast<unsigned char>(constant[i]);
            if (a != b)
                return a < b ? -1 : 1;
        }
        return text.size() == constant.size() ? 0 : (text.size() < constant.size() ? -1 : 1);
    }

    // Up to eight bytes as one little-endian word, the rest zero, without reading past `n`.
    static std::uint64_t loadUpTo8(const char *p, std::size_t n)
    {
        std::uint64_t word = 0;
        if (n >= 8) {
            std::memcpy(&word, p, 8);
        } else if (n >= 4) { // two overlapping halves; the shared bytes are the same
            std::uint32_t low, high;
            std::memcpy(&low, p, 4);
            std::memcpy(&high, p + n - 4, 4);
            word = low | std::uint64_t(high) << (8 * (n - 4));
        } else if (n > 0) {
            const auto byte
                = [p](std::size_t i) { return std::uint64_t(static_cast<unsigned char>(p[i])); };
            word = byte(0) | byte(n / 2) << (8 * (n / 2)) | byte(n - 1) << (8 * (n - 1));
        }
        return word;
    }

    // A-Z to a-z in eight bytes at once, like kFold; other bytes stay.
    static std::uint64_t foldWord(std::uint64_t x)
    {
        constexpr std::uint64_t ones = 0x0101010101010101ULL;
        constexpr std::uint64_t high = 0x8080808080808080ULL;
        const std::uint64_t low7 = x & ~high;
        const std::uint64_t atLeastA = low7 + (0x80 - 'A') * ones; // high bit: byte >= 'A'
        const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * ones; // high bit: byte > 'Z'
        const std::uint64_t upper = atLeastA & ~aboveZ & ~x & high; // and an ASCII byte
        return x | (upper >> 2); // 0x80 >> 2 is the 0x20 between the cases
    }

    // Equality with an already folded constant, a word at a time and without a branch per
    // byte, for the grid filter's "field = 'text'" over many rows.
    static bool equalsFolded(std::string_view text, std::string_view constant)
    {
        if (text.size() != constant.size())
            return false;
        std::size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            if (foldWord(loadUpTo8(text.data() + i, 8)) != loadUpTo8(constant.data() + i, 8))
                return false;
        }
        const std::size_t rest = text.size() - i;
        return foldWord(loadUpTo8(text.data() + i, rest)) == loadUpTo8(constant.data() + i, rest);
    }

    // LIKE with % (any run) and _ (one character), on text and an already folded pattern.
    static bool like(std::string_view text, std::string_view pattern);

    // A number written as text, all of it; `integral` when it is also a 64-bit whole number.
    static bool parseNumber(
        std::string_view text, double &number, std::int64_t &whole, bool &integral);
};
