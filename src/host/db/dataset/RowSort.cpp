#include "host/db/dataset/RowSort.h"

#include "host/db/dataset/ResultColumn.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <string>

namespace {

constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> table {};
    for (int c = 0; c < 256; ++c)
        table[std::size_t(c)] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return table;
}();

bool isAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The first eight folded bytes as one big-endian number: most comparisons end there.
std::uint64_t prefixOf(std::string_view key)
{
    std::uint64_t prefix = 0;
    const std::size_t n = std::min<std::size_t>(key.size(), 8);
    for (std::size_t i = 0; i < n; ++i)
        prefix |= std::uint64_t(kFold[static_cast<unsigned char>(key[i])]) << (56 - 8 * i);
    return prefix;
}

struct TextKey
{
    std::uint64_t prefix;
    std::string_view text;
    int row;
};

struct NumberKey
{
    double value;
    int row;
};

template <bool Descending> bool textBefore(const TextKey &a, const TextKey &b)
{
    if (a.prefix != b.prefix)
        return Descending ? b.prefix < a.prefix : a.prefix < b.prefix;
    const int order = (a.text.size() <= 8 && b.text.size() <= 8)
        ? (a.text.size() < b.text.size()        ? -1
                : a.text.size() > b.text.size() ? 1
                                                : 0)
        : RowSort::compareFolded(a.text, b.text);
    if (order != 0)
        return Descending ? order > 0 : order < 0;
    return a.row < b.row;
}

template <bool Descending> bool numberBefore(const NumberKey &a, const NumberKey &b)
{
    if (a.value != b.value)
        return Descending ? b.value < a.value : a.value < b.value;
    return a.row < b.row;
}

// NULLs (in row order) before the sorted keys ascending, after them descending.
template <typename Key>
std::vector<int> assemble(
    const std::vector<Key> &keys, const std::vector<int> &nulls, bool descending)
{
    std::vector<int> rows;
    rows.reserve(keys.size() + nulls.size());
    if (!descending)
        rows.insert(rows.end(), nulls.begin(), nulls.end());
    for (const Key &key : keys)
        rows.push_back(key.row);
    if (descending)
        rows.insert(rows.end(), nulls.begin(), nulls.end());
    return rows;
}

} // namespace

int RowSort::compareFolded(std::string_view a, std::string_view b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = kFold[static_cast<unsigned char>(a[i])];
        const unsigned char y = kFold[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

std::vector<int> RowSort::sortedRows(const ResultColumn &column, bool asText, bool descending)
{
    const std::size_t count = column.size();
    const bool pending = column.storage() == ResultColumn::Storage::Pending;
    std::vector<int> nulls;
    if (!asText) {
        std::vector<NumberKey> keys;
        keys.reserve(count);
        for (std::size_t row = 0; row < count; ++row) {
            if (pending || column.isNull(row))
                nulls.push_back(int(row));
            else
                keys.push_back({ column.numberAt(row), int(row) });
        }
        std::sort(keys.begin(), keys.end(), descending ? numberBefore<true> : numberBefore<false>);
        return assemble(keys, nulls, descending);
    }

    // Texts are read in place; values stored otherwise (numbers, dates) and texts with letters
    // outside ASCII get a folded copy of their own here, which outlives the sort.
    const bool inPlace = column.storage() == ResultColumn::Storage::Text
        || column.storage() == ResultColumn::Storage::Bytes;
    std::deque<std::string> copies;
    std::vector<TextKey> keys;
    keys.reserve(count);
    for (std::size_t row = 0; row < count; ++row) {
        if (pending || column.isNull(row)) {
            nulls.push_back(int(row));
            continue;
        }
        std::string_view text;
        if (inPlace) {
            text = column.textAt(row);
        } else {
            copies.push_back(column.displayText(row));
            text = copies.back();
        }
        if (!isAscii(text)) {
            const QByteArray folded
                = QString::fromUtf8(text.data(), qsizetype(text.size())).toCaseFolded().toUtf8();
            copies.emplace_back(folded.constData(), std::size_t(folded.size()));
            text = copies.back();
        }
        keys.push_back({ prefixOf(text), text, int(row) });
    }
    std::sort(keys.begin(), keys.end(), descending ? textBefore<true> : textBefore<false>);
    return assemble(keys, nulls, descending);
}
