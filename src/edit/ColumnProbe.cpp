#include "edit/ColumnProbe.h"

#include "edit/StatementWords.h"

#include <algorithm>

namespace {

constexpr std::string_view kWhere = "WHERE";
constexpr std::string_view kNeverTrue = " 1 = 2 and ";
constexpr std::string_view kNull = " Null ";

bool IsNameChar(char c)
{
    return IsStatementWordChar(c) || (c >= 'a' && c <= 'z');
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

// Each whole-word WHERE keeps the character after it, then gets the condition that is never
// true. The search goes on after that character; only the first WHERE found each time counts.
std::string NeutraliseWheres(std::string_view statement)
{
    std::string out;
    out.reserve(statement.size() + 64);
    std::size_t copied = 0;
    std::size_t at = FindReserve(statement, kWhere, 0);
    while (at != std::string_view::npos) {
        const std::size_t kept = std::min(at + kWhere.size() + 1, statement.size());
        out.append(statement.substr(copied, kept - copied));
        out.append(kNeverTrue);
        copied = kept;
        at = FindReserve(statement, kWhere, kept);
    }
    out.append(statement.substr(copied));
    return out;
}

// The marker at `at` (its "@"): how many characters it takes and the name it gives (empty when
// it has none).
std::size_t ReadMarker(std::string_view text, std::size_t at, std::string_view &name)
{
    name = {};
    const std::size_t start = at + 1;
    if (start < text.size() && text[start] == '[') {
        const std::size_t close = text.find(']', start + 1);
        if (close == std::string_view::npos)
            return 2; // "@[" and nothing closes it: no name
        name = Trimmed(text.substr(start + 1, close - start - 1));
        return close - at + 1;
    }
    std::size_t end = start;
    while (end < text.size() && IsNameChar(text[end]))
        ++end;
    name = text.substr(start, end - start);
    return std::max<std::size_t>(end - at, 2);
}

} // namespace

ColumnProbe BuildColumnProbe(std::string_view statement)
{
    ColumnProbe probe;
    const std::string neutral = NeutraliseWheres(statement);
    std::string &out = probe.text;
    out.reserve(neutral.size() + 64);
    std::size_t copied = 0;
    std::size_t at = neutral.find('@');
    while (at != std::string::npos) {
        std::string_view name;
        const std::size_t length = ReadMarker(neutral, at, name);
        if (name.empty() || name.find_first_of("[]@") != std::string_view::npos) {
            probe.error = name.empty() ? kParamSettingText : kParamBracketText;
            probe.text.clear();
            probe.names.clear();
            return probe;
        }
        probe.names.emplace_back(name);
        out.append(neutral, copied, at - copied);
        out.append(kNull);
        copied = std::min(at + length, neutral.size());
        at = neutral.find('@', copied);
    }
    out.append(neutral, copied);
    return probe;
}
