#include "host/core/TXMLQuickParser.h"

#include "host/db/engine/NameFold.h"

TXMLQuickParser::TXMLQuickParser(const QString &text)
    : m_text(text)
{
}

qsizetype TXMLQuickParser::NextTagStart() const
{
    return m_pos < m_text.size() ? m_text.indexOf(QLatin1Char('<'), m_pos) : -1;
}

bool TXMLQuickParser::Eof() const
{
    return NextTagStart() < 0;
}

QStringView TXMLQuickParser::GetNextTagView()
{
    for (;;) {
        const qsizetype start = NextTagStart();
        if (start < 0) {
            m_pos = m_text.size();
            return {};
        }
        if (QStringView(m_text).mid(start, 4) == u"<!--") {
            const qsizetype end = m_text.indexOf(QLatin1String("-->"), start + 4);
            m_pos = end < 0 ? m_text.size() : end + 3;
            continue;
        }
        // The name runs to the first blank, "/" after the name, or ">"; quoted attribute values
        // may hold ">" and are skipped as a whole.
        qsizetype at = start + 1;
        if (at < m_text.size() && m_text[at] == u'/')
            ++at;
        while (at < m_text.size() && !m_text[at].isSpace() && m_text[at] != u'>'
            && !(m_text[at] == u'/' && at > start + 1))
            ++at;
        const QStringView name = QStringView(m_text).sliced(start + 1, at - start - 1);
        QChar quote;
        while (at < m_text.size()) {
            const QChar c = m_text[at];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>') {
                break;
            }
            ++at;
        }
        m_pos = at < m_text.size() ? at + 1 : m_text.size();
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

QString TXMLQuickParser::ReadToNextTag()
{
    const qsizetype start = NextTagStart();
    const qsizetype end = start < 0 ? m_text.size() : start;
    const QString text = m_text.mid(m_pos, end - m_pos);
    m_pos = end;
    return text;
}
