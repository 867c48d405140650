#include "host/db/engine/SqlScanner.h"

#include <cctype>

namespace {

// End of a quoted token starting at `start` (the opening character), past its closing
// character; doubled closing characters are part of the token. Unclosed runs to the end.
std::size_t skipQuoted(std::string_view sql, std::size_t start, char close)
{
    std::size_t i = start + 1;
    while (i < sql.size()) {
        if (sql[i] == close) {
            if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

} // namespace

bool SqlScanner::isWordChar(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

SqlToken SqlScanner::next(std::string_view sql, std::size_t at)
{
    SqlToken token;
    token.begin = at;
    const char c = sql[at];
    const char following = at + 1 < sql.size() ? sql[at + 1] : '\0';
    if (c == '\'') {
        token.kind = SqlToken::Kind::Literal;
        token.end = skipQuoted(sql, at, '\'');
    } else if (c == '-' && following == '-') {
        token.kind = SqlToken::Kind::LineComment;
        const std::size_t end = sql.find('\n', at);
        token.end = end == std::string_view::npos ? sql.size() : end;
    } else if (c == '/' && following == '*') {
        token.kind = SqlToken::Kind::BlockComment;
        const std::size_t end = sql.find("*/", at + 2);
        token.end = end == std::string_view::npos ? sql.size() : end + 2;
    } else if (c == '"' || c == '[' || c == '`') {
        const char close = c == '[' ? ']' : c;
        token.kind = SqlToken::Kind::QuotedName;
        token.end = skipQuoted(sql, at, close);
        token.closed = token.end >= at + 2 && sql[token.end - 1] == close;
    } else if (isWordChar(static_cast<unsigned char>(c))) {
        token.kind = SqlToken::Kind::Word;
        token.end = at;
        while (token.end < sql.size() && isWordChar(static_cast<unsigned char>(sql[token.end])))
            ++token.end;
    } else {
        token.end = at + 1;
    }
    return token;
}
