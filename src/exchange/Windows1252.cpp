#include "exchange/Windows1252.h"

#include <array>
#include <cstring>

namespace {

// 0x80 to 0x9F; the unassigned bytes map to themselves.
constexpr char16_t kHigh[32]
    = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

int ByteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

} // namespace

QByteArray Windows1252::toUtf8(QByteArrayView bytes)
{
    // One table look-up per byte: Latin-1 but for 0x80 to 0x9F; at most three bytes each.
    struct Sequence
    {
        char bytes[3];
        int size;
    };
    static const auto kTable = [] {
        std::array<Sequence, 256> table {};
        for (int b = 0; b < 256; ++b) {
            const char16_t c = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b);
            Sequence &out = table[b];
            if (c < 0x80)
                out = { { char(c) }, 1 };
            else if (c < 0x800)
                out = { { char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)) }, 2 };
            else
                out = { { char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)),
                            char(0x80 | (c & 0x3F)) },
                    3 };
        }
        return table;
    }();
    qsizetype size = 0;
    for (const char b : bytes)
        size += kTable[static_cast<unsigned char>(b)].size;
    QByteArray text(size, Qt::Uninitialized);
    char *out = text.data();
    for (const char b : bytes) {
        const Sequence &sequence = kTable[static_cast<unsigned char>(b)];
        std::memcpy(out, sequence.bytes, std::size_t(sequence.size));
        out += sequence.size;
    }
    return text;
}

std::optional<QByteArray> Windows1252::encode(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const int b = ByteFor(c.unicode());
        if (b < 0)
            return std::nullopt;
        *out++ = char(b);
    }
    return bytes;
}
