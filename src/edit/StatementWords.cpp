#include "edit/StatementWords.h"

#include <array>

namespace {

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Searches the text as if upper-cased, without copying it.
std::size_t FindUpper(std::string_view text, std::string_view word, std::size_t from)
{
    if (word.empty() || word.size() > text.size())
        return std::string_view::npos;
    for (std::size_t at = from; at + word.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < word.size() && Upper(text[at + i]) == word[i])
            ++i;
        if (i == word.size())
            return at;
    }
    return std::string_view::npos;
}

bool WholeWordAt(std::string_view text, std::size_t at, std::size_t length)
{
    const bool preceded = at > 0 && IsStatementWordChar(Upper(text[at - 1]));
    const std::size_t end = at + length;
    const bool followed = !preceded && end < text.size() && IsStatementWordChar(Upper(text[end]));
    return !preceded && !followed;
}

} // namespace

bool IsStatementWordChar(char c)
{
    return c == '-' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

std::size_t FindReserve(std::string_view text, std::string_view word, std::size_t from)
{
    const std::size_t at = FindUpper(text, word, from);
    if (at == std::string_view::npos || !WholeWordAt(text, at, word.size()))
        return std::string_view::npos;
    return at;
}

std::string ForbiddenKeywordMessage(std::string_view statement)
{
    static constexpr std::array<std::string_view, 4> kKeywords { "USE", "INSERT", "DELETE",
        "UPDATE" };
    for (const std::string_view keyword : kKeywords) {
        std::size_t at = FindUpper(statement, keyword, 0);
        while (at != std::string_view::npos) {
            if (WholeWordAt(statement, at, keyword.size())) {
                std::string message = "\"";
                message.append(keyword).append("\" is not allowed in the SQL Statement!");
                return message;
            }
            const std::size_t end = at + keyword.size();
            // What is left after this occurrence is at most one character: no keyword fits.
            if (end + 1 >= statement.size())
                break;
            at = FindUpper(statement, keyword, end);
        }
    }
    return {};
}
