#pragma once

#include <QString>

// A forward-only scanner over tag-shaped text, for files written by our own writer. It knows
// tags, text between them, quoted attribute values and comments; nothing else of XML.
class TXMLQuickParser
{
public:
    explicit TXMLQuickParser(const QString &text);

    // Moves past the next tag named `name` (letter case ignored); false, at the end, when none.
    bool SeekTag(const QString &name);
    // The name of the next tag ("/name" for a closing tag, "?xml" for the declaration), skipping
    // any text before it; empty at the end of the input.
    QString GetNextTag() { return GetNextTagView().toString(); }
    // The same as a view into the text, valid while the parser lives: no copy per tag.
    QStringView GetNextTagView();
    // The text from here up to the next tag (or to the end), not unescaped.
    QString ReadToNextTag();
    // True when no tag is left.
    bool Eof() const;
    // 0-based offset of the scanner in the text.
    int Position() const { return int(m_pos); }

private:
    qsizetype NextTagStart() const; // index of the next "<" that starts a tag, -1 when none

    QString m_text;
    qsizetype m_pos = 0;
};
