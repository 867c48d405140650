#include "host/db/engine/NameFold.h"

#include <QChar>
#include <QString>

namespace {

// Beyond every code point: a byte that is not UTF-8 reads as this plus the byte, so it equals
// only the same byte.
constexpr char32_t kRawByte = 0x110000;

char32_t foldCode(char32_t code)
{
    if (code < 0x80)
        return code >= 'A' && code <= 'Z' ? code + 32 : code;
    const char32_t folded = QChar::toCaseFolded(code);
    return folded < 0x80 ? code : folded;
}

// The well-formed UTF-8 sequence at `at`: false for a stray, overlong or cut-off one.
bool decode(std::string_view text, std::size_t at, char32_t &code, std::size_t &length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC0 || lead > 0xF4 || at + length > text.size())
        return false;
    code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return false;
        code = code << 6 | (byte(i) & 0x3F);
    }
    static constexpr char32_t kShortest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    return code >= kShortest[length] && code <= 0x10FFFF && (code < 0xD800 || code >= 0xE000);
}

// The character at `at`, folded; `at` moves past it.
char32_t nextFolded(std::string_view text, std::size_t &at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    char32_t code;
    std::size_t length;
    if (lead >= 0x80 && decode(text, at, code, length)) {
        at += length;
        return foldCode(code);
    }
    ++at;
    return lead < 0x80 ? foldCode(lead) : kRawByte + lead;
}

char32_t nextFolded(const QString &text, qsizetype &at)
{
    const QChar first = text.at(at++);
    if (first.isHighSurrogate() && at < text.size() && text.at(at).isLowSurrogate())
        return foldCode(QChar::surrogateToUcs4(first, text.at(at++)));
    return foldCode(first.unicode());
}

template <typename Text, typename Index> bool sameFolded(const Text &a, const Text &b)
{
    Index i = 0, j = 0;
    const Index aSize = static_cast<Index>(a.size()), bSize = static_cast<Index>(b.size());
    while (i < aSize && j < bSize) {
        if (nextFolded(a, i) != nextFolded(b, j))
            return false;
    }
    return i == aSize && j == bSize;
}

void appendUtf8(char32_t code, std::string &out)
{
    const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (code >= kRawByte) {
        put(code - kRawByte);
    } else if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | code >> 6);
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | code >> 12);
        put(0x80 | (code >> 6 & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | code >> 18);
        put(0x80 | (code >> 12 & 0x3F));
        put(0x80 | (code >> 6 & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

} // namespace

std::string NameFold::fold(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();)
        appendUtf8(nextFolded(utf8, at), out);
    return out;
}

QString NameFold::fold(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype at = 0; at < name.size();) {
        const char32_t code = nextFolded(name, at);
        if (QChar::requiresSurrogates(code)) {
            out += QChar(QChar::highSurrogate(code));
            out += QChar(QChar::lowSurrogate(code));
        } else {
            out += QChar(static_cast<char16_t>(code));
        }
    }
    return out;
}

bool NameFold::same(std::string_view a, std::string_view b)
{
    return sameFolded<std::string_view, std::size_t>(a, b);
}

bool NameFold::same(const QString &a, const QString &b)
{
    return sameFolded<QString, qsizetype>(a, b);
}
