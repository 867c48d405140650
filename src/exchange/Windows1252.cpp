#include "exchange/Windows1252.h"

#include <array>

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

QString Windows1252::decode(const QByteArray &bytes)
{
    // One table look-up per byte: Latin-1 but for 0x80 to 0x9F.
    static const auto kTable = [] {
        std::array<char16_t, 256> table {};
        for (int b = 0; b < 256; ++b)
            table[b] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b);
        return table;
    }();
    QString text(bytes.size(), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = kTable[in[i]];
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
