#pragma once

#include <cstddef>
#include <string_view>

// Splits SQL text into the pieces that rewrites of names must tell apart: literals, comments and
// quoted names are kept whole so that nothing inside them is ever rewritten.
struct SqlToken
{
    enum class Kind { Literal, LineComment, BlockComment, QuotedName, Word, Other };
    Kind kind = Kind::Other;
    std::size_t begin = 0;
    std::size_t end = 0; // past the token; an unclosed literal, comment or name runs to the end
    bool closed = true; // a quoted name found its closing character

    std::string_view text(std::string_view sql) const { return sql.substr(begin, end - begin); }
};

struct SqlScanner
{
    // The token that starts at `at` (< sql.size()). Literals are '...' with '' inside; quoted
    // names are "...", `...` (doubled closers inside) and [...] (the first ] closes); a word is
    // a run of letters, digits, _, $ and bytes of UTF-8 sequences; anything else is one byte.
    static SqlToken next(std::string_view sql, std::size_t at);
    static bool isWordChar(unsigned char c);
};
