#include "host/db/engine/SqlServerNames.h"

#include "host/db/engine/NameFold.h"
#include "host/db/engine/SqlScanner.h"

#include <cctype>

namespace {

bool isDbo(std::string_view word)
{
    return NameFold::same(word, "dbo");
}

// The owner token sql[start, end) qualifies a name only where it stands apart from the text
// before it and is followed by its dot and a name (or space): cut anywhere else, it would glue
// its neighbours into a token that was not there, such as "--" out of "-dbo.-" or one literal
// out of "'a'dbo.'b'".
bool qualifiesName(std::string_view sql, std::size_t start, std::size_t end)
{
    if (end + 1 >= sql.size() || sql[end] != '.')
        return false;
    if (start > 0) {
        const unsigned char before = static_cast<unsigned char>(sql[start - 1]);
        if (SqlScanner::isWordChar(before) || before == '\'' || before == '"' || before == ']'
            || before == '`')
            return false;
    }
    const unsigned char after = static_cast<unsigned char>(sql[end + 1]);
    return SqlScanner::isWordChar(after) || std::isspace(after) || after == '[' || after == '"'
        || after == '`';
}

} // namespace

std::string stripDboQualifiers(std::string_view sql, std::vector<RemovedText> *removed)
{
    std::string out;
    out.reserve(sql.size());
    std::size_t i = 0;
    auto keep = [&](std::size_t end) {
        out.append(sql.substr(i, end - i));
        i = end;
    };
    auto drop = [&](std::size_t end) {
        if (removed)
            removed->push_back({ i, end - i });
        i = end;
    };
    while (i < sql.size()) {
        const SqlToken token = SqlScanner::next(sql, i);
        const bool quoted = token.kind == SqlToken::Kind::QuotedName && token.closed;
        const std::string_view word
            = quoted ? sql.substr(token.begin + 1, token.end - token.begin - 2) : token.text(sql);
        if ((quoted || token.kind == SqlToken::Kind::Word) && isDbo(word)
            && qualifiesName(sql, token.begin, token.end))
            drop(token.end + 1);
        else
            keep(token.end);
    }
    return out;
}

std::size_t originalOffset(std::size_t strippedOffset, const std::vector<RemovedText> &removed)
{
    std::size_t offset = strippedOffset;
    for (const RemovedText &range : removed) {
        if (range.offset <= offset)
            offset += range.length;
        else
            break;
    }
    return offset;
}

std::string bracketsToDoubleQuotes(std::string_view sql)
{
    std::string out;
    out.reserve(sql.size() + 8);
    std::size_t i = 0;
    while (i < sql.size()) {
        const SqlToken token = SqlScanner::next(sql, i);
        i = token.end;
        if (token.kind != SqlToken::Kind::QuotedName || sql[token.begin] != '[' || !token.closed) {
            out.append(token.text(sql));
            continue;
        }
        const std::string_view name = sql.substr(token.begin + 1, token.end - token.begin - 2);
        // SQL Server compares names ignoring case and PostgreSQL folds unquoted ones to lower
        // case: a plain name in brackets must fold too, or [dbo].[x] and dbo.x would differ.
        bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]));
        for (const char c : name)
            plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        // A quote on either side would join with ours into one name: "x"[y] is not "x""y".
        if (!out.empty() && out.back() == '"')
            out.push_back(' ');
        out.push_back('"');
        for (const char c : name) {
            if (c == '"')
                out.push_back('"');
            out.push_back(
                plain ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c);
        }
        out.push_back('"');
        if (i < sql.size() && sql[i] == '"')
            out.push_back(' ');
    }
    return out;
}
