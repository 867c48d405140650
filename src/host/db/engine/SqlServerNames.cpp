#include "host/db/engine/SqlServerNames.h"

#include "host/db/engine/NameFold.h"

#include <cctype>

namespace {

bool isWordChar(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

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
        if (isWordChar(before) || before == '\'' || before == '"' || before == ']' || before == '`')
            return false;
    }
    const unsigned char after = static_cast<unsigned char>(sql[end + 1]);
    return isWordChar(after) || std::isspace(after) || after == '[' || after == '"' || after == '`';
}

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
        const char c = sql[i];
        const char next = i + 1 < sql.size() ? sql[i + 1] : '\0';
        if (c == '\'') {
            keep(skipQuoted(sql, i, '\''));
        } else if (c == '-' && next == '-') {
            const std::size_t end = sql.find('\n', i);
            keep(end == std::string_view::npos ? sql.size() : end);
        } else if (c == '/' && next == '*') {
            const std::size_t end = sql.find("*/", i + 2);
            keep(end == std::string_view::npos ? sql.size() : end + 2);
        } else if (c == '"' || c == '[' || c == '`') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = skipQuoted(sql, i, close);
            const bool closed = end >= i + 2 && sql[end - 1] == close;
            if (closed && isDbo(sql.substr(i + 1, end - i - 2)) && qualifiesName(sql, i, end))
                drop(end + 1);
            else
                keep(end);
        } else if (isWordChar(static_cast<unsigned char>(c))) {
            std::size_t end = i;
            while (end < sql.size() && isWordChar(static_cast<unsigned char>(sql[end])))
                ++end;
            if (isDbo(sql.substr(i, end - i)) && qualifiesName(sql, i, end))
                drop(end + 1);
            else
                keep(end);
        } else {
            keep(i + 1);
        }
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
