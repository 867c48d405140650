#include "run/InsertedValue.h"

namespace {

// Where a reader of SQL text is: in code, or inside a quoted text, a quoted name or a comment.
enum class Place { Code, Text, QuotedName, BracketName, BacktickName, LineComment, BlockComment };

// Moves the reader over the character at `at` (two for a doubled quote or a comment mark) and
// returns the index of the next character to read.
qsizetype Step(const QString &sql, qsizetype at, Place &place)
{
    const QChar c = sql[at];
    const QChar next = at + 1 < sql.size() ? sql[at + 1] : QChar();
    auto closeOrEscape = [&](QChar quote) {
        if (c != quote)
            return at + 1;
        if (next == quote)
            return at + 2; // a doubled quote stays inside
        place = Place::Code;
        return at + 1;
    };
    switch (place) {
    case Place::Code:
        if (c == u'\'')
            place = Place::Text;
        else if (c == u'"')
            place = Place::QuotedName;
        else if (c == u'[')
            place = Place::BracketName;
        else if (c == u'`')
            place = Place::BacktickName;
        else if (c == u'-' && next == u'-')
            return place = Place::LineComment, at + 2;
        else if (c == u'/' && next == u'*')
            return place = Place::BlockComment, at + 2;
        return at + 1;
    case Place::Text:
        return closeOrEscape(u'\'');
    case Place::QuotedName:
        return closeOrEscape(u'"');
    case Place::BacktickName:
        return closeOrEscape(u'`');
    case Place::BracketName:
        if (c == u']')
            place = Place::Code;
        return at + 1;
    case Place::LineComment:
        if (c == u'\n' || c == u'\r')
            place = Place::Code;
        return at + 1;
    case Place::BlockComment:
        if (c == u'*' && next == u'/')
            return place = Place::Code, at + 2;
        return at + 1;
    }
    return at + 1;
}

} // namespace

bool StaysOneValue(const QString &statement, qsizetype start, qsizetype length)
{
    Place place = Place::Code;
    qsizetype at = 0;
    while (at < start)
        at = Step(statement, at, place);
    if (at != start)
        return false; // the value begins in the middle of a comment mark or a doubled quote
    const qsizetype end = start + length;
    const Place outside = place;
    if (outside == Place::Code) {
        // One literal: it opens on the first character and closes on the last.
        at = Step(statement, at, place);
        if (place != Place::Text)
            return false;
        while (at < end && place == Place::Text)
            at = Step(statement, at, place);
        return at == end && place == Place::Code;
    }
    while (at < end) {
        at = Step(statement, at, place);
        if (place != outside)
            return false;
    }
    return at == end;
}
