#include "host/core/TXMLQuickParser.h"

#include "host/db/engine/NameFold.h"

#include <QChar>

#include <cstring>

namespace {

// Whether the character at `at` is a blank by QChar::isSpace. Text that is not valid UTF-8
// there is no blank; nothing past `end` is read.
bool SpaceAt(const unsigned char *at, const unsigned char *end)
{
    const unsigned char lead = *at;
    if (lead < 0x80)
        return lead == ' ' || (lead >= '\t' && lead <= '\r');
    const int length = lead >= 0xF5 ? 0
        : lead >= 0xF0              ? 4
        : lead >= 0xE0              ? 3
        : lead >= 0xC2              ? 2
                                    : 0;
    if (length == 0 || end - at < length)
        return false;
    char32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return false;
        code = (code << 6) | (at[i] & 0x3F);
    }
    static constexpr char32_t kLeast[]
        = { 0, 0, 0x80, 0x800, 0x10000 }; // shorter forms are not UTF-8
    return code >= kLeast[length] && code <= 0x10FFFF && QChar::isSpace(code);
}

} // namespace

TXMLQuickParser::TXMLQuickParser(const QString &text)
    : m_text(text.toUtf8())
{
}

TXMLQuickParser::TXMLQuickParser(const QByteArray &utf8)
    : m_text(utf8)
{
}

qsizetype TXMLQuickParser::NextTagStart() const
{
    if (m_nextFrom != m_pos) {
        m_nextFrom = m_pos;
        m_next = m_pos < m_text.size() ? m_text.indexOf('<', m_pos) : -1;
    }
    return m_next;
}

QByteArrayView TXMLQuickParser::GetNextTagView()
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(m_text.constData());
    const qsizetype size = m_text.size();
    for (;;) {
        const qsizetype start = NextTagStart();
        if (start < 0) {
            m_pos = size;
            return {};
        }
        if (QByteArrayView(m_text).sliced(start).startsWith("<!--")) {
            const qsizetype end = m_text.indexOf("-->", start + 4);
            m_pos = end < 0 ? size : end + 3;
            continue;
        }
        // The name runs to the first blank, "/" after the name, or ">"; quoted attribute values
        // may hold ">" and are skipped as a whole.
        qsizetype at = start + 1;
        if (at < size && bytes[at] == '/')
            ++at;
        while (at < size && bytes[at] != '>' && !(bytes[at] == '/' && at > start + 1)
            && !SpaceAt(bytes + at, bytes + size))
            ++at;
        const QByteArrayView name(m_text.constData() + start + 1, at - start - 1);
        char quote = 0;
        while (at < size) {
            const char c = char(bytes[at]);
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
            ++at;
        }
        m_pos = at < size ? at + 1 : size;
        return name;
    }
}

bool TXMLQuickParser::SeekTag(const QString &name)
{
    while (!Eof()) {
        if (NameFold::same(GetNextTag(), name))
            return true;
    }
    return false;
}

QByteArrayView TXMLQuickParser::ReadToNextTagView()
{
    const qsizetype start = NextTagStart();
    const qsizetype end = start < 0 ? m_text.size() : start;
    const QByteArrayView text(m_text.constData() + m_pos, end - m_pos);
    m_pos = end;
    return text;
}
