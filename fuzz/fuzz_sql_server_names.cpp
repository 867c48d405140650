// Every IQ statement passes through the owner rewrite before SQLite sees it. For any bytes the
// rewrite may only cut the owner qualifiers it reports, must keep every literal, comment and other
// quoted name as written (never join two of them, never open a new one), must map each kept byte
// back to its place for error positions, and must find nothing left to cut in its own output.
#include "host/db/engine/SqlServerNames.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Span
{
    std::size_t begin;
    std::size_t end;
};

// Literals, comments and quoted names, as SQLite reads them.
std::vector<Span> protectedSpans(std::string_view sql)
{
    std::vector<Span> spans;
    std::size_t i = 0;
    while (i < sql.size()) {
        const std::string_view rest = sql.substr(i);
        std::size_t end = std::string_view::npos;
        if (rest.starts_with("--")) {
            end = sql.find('\n', i);
        } else if (rest.starts_with("/*")) {
            end = sql.find("*/", i + 2);
            if (end != std::string_view::npos)
                end += 2;
        } else if (rest[0] == '\'' || rest[0] == '"' || rest[0] == '`' || rest[0] == '[') {
            const char close = rest[0] == '[' ? ']' : rest[0];
            for (end = sql.find(close, i + 1); end != std::string_view::npos;
                 end = sql.find(close, end + 2)) {
                if (close == ']' || end + 1 == sql.size() || sql[end + 1] != close) {
                    ++end;
                    break;
                }
            }
        } else {
            ++i;
            continue;
        }
        end = std::min(end, sql.size());
        spans.push_back({ i, end });
        i = end;
    }
    return spans;
}

bool isOwner(std::string_view text)
{
    if (text.size() == 5 && (text[0] == '[' || text[0] == '"' || text[0] == '`')) {
        const char close = text[0] == '[' ? ']' : text[0];
        if (text[4] != close)
            return false;
        text = text.substr(1, 3);
    }
    if (text.size() != 3)
        return false;
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != "dbo"[i])
            return false;
    }
    return true;
}

bool isWordByte(unsigned char c)
{
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

void require(bool property)
{
    if (!property)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view sql(reinterpret_cast<const char *>(data), size);
    std::vector<RemovedText> removed;
    const std::string out = stripDboQualifiers(sql, &removed);

    // The output is the input without the reported cuts, each a whole owner name and its dot.
    std::string kept;
    std::size_t from = 0;
    for (const RemovedText &cut : removed) {
        require(cut.offset >= from && cut.length >= 4 && cut.offset + cut.length <= size);
        require(isOwner(sql.substr(cut.offset, cut.length - 1)));
        require(sql[cut.offset + cut.length - 1] == '.');
        const bool bare = sql[cut.offset] == 'd' || sql[cut.offset] == 'D';
        require(!bare || cut.offset == 0
            || !isWordByte(static_cast<unsigned char>(sql[cut.offset - 1])));
        // Each run of kept bytes maps back to where it was.
        if (cut.offset > from) {
            require(originalOffset(kept.size(), removed) == from);
            require(originalOffset(kept.size() + cut.offset - from - 1, removed) == cut.offset - 1);
        }
        kept.append(sql.substr(from, cut.offset - from));
        from = cut.offset + cut.length;
    }
    kept.append(sql.substr(from));
    require(out == kept);
    if (!removed.empty() && size > from)
        require(originalOffset(out.size() - 1, removed) == size - 1);

    // No cut reaches into a literal, comment or quoted name other than a whole quoted owner.
    std::vector<std::string_view> before;
    std::size_t next = 0;
    for (const Span &span : protectedSpans(sql)) {
        while (next < removed.size() && removed[next].offset + removed[next].length <= span.begin)
            ++next;
        if (next < removed.size() && removed[next].offset < span.end) {
            require(removed[next].offset == span.begin);
            continue;
        }
        before.push_back(sql.substr(span.begin, span.end - span.begin));
    }
    // Nor do the bytes on either side of a cut join into one.
    std::vector<std::string_view> after;
    for (const Span &span : protectedSpans(out))
        after.push_back(std::string_view(out).substr(span.begin, span.end - span.begin));
    require(before == after);

    require(stripDboQualifiers(out) == out);
    return 0;
}
