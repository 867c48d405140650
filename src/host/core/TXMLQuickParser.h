#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A forward-only scanner over tag-shaped UTF-8 text, for files written by our own writer. It
// knows tags, text between them, quoted attribute values and comments; nothing else of XML. It
// works on the bytes themselves: markup is ASCII, and a file of many megabytes is not copied.
class TXMLQuickParser
{
public:
    explicit TXMLQuickParser(const QString &text);
    // `utf8` is shared, not copied.
    explicit TXMLQuickParser(const QByteArray &utf8);

    // Moves past the next tag named `name` (letter case ignored); false, at the end, when none.
    bool SeekTag(const QString &name);
    // The name of the next tag ("/name" for a closing tag, "?xml" for the declaration), skipping
    // any text before it; empty at the end of the input.
    QString GetNextTag() { return QString::fromUtf8(GetNextTagView()); }
    // The same as UTF-8 bytes of the text, valid while the parser lives: no copy per tag.
    QByteArrayView GetNextTagView();
    // The text from here up to the next tag (or to the end), not unescaped.
    QString ReadToNextTag() { return QString::fromUtf8(ReadToNextTagView()); }
    QByteArrayView ReadToNextTagView();
    // True when no tag is left.
    bool Eof() const { return NextTagStart() < 0; }
    // 0-based offset of the scanner in the UTF-8 text.
    qsizetype Position() const { return m_pos; }

private:
    qsizetype NextTagStart() const; // index of the next "<" that starts a tag, -1 when none

    const QByteArray m_text; // const: indexing a shared copy must not detach (copy) the whole text
    qsizetype m_pos = 0;
    // The last answer of NextTagStart, asked once or twice for every tag.
    mutable qsizetype m_nextFrom = -1;
    mutable qsizetype m_next = -1;
};
