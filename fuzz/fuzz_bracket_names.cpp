// PostgreSQL reads IQ statements after [names] became "names". For any bytes the rewrite must
// keep every literal, comment, other quoted name and all text between them exactly as written,
// turn each closed [name] into one double-quoted name that reads back as the same name (apart
// by a blank from a quote beside it), and find nothing left to rewrite in its own output.
#include "host/db/engine/SqlServerNames.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void require(bool property)
{
    if (!property)
        std::abort();
}

// End of the quoted token opened at `start`; doubled closers (not for ]) stay inside.
std::size_t quotedEnd(std::string_view sql, std::size_t start, char close)
{
    for (std::size_t i = start + 1; i < sql.size(); ++i) {
        if (sql[i] != close)
            continue;
        if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return sql.size();
}

// The name a double-quoted token at out[at] stands for, and where the token ends.
std::string unquote(std::string_view out, std::size_t at, std::size_t &end)
{
    std::string name;
    std::size_t i = at + 1;
    for (; i < out.size(); ++i) {
        if (out[i] == '"') {
            if (i + 1 < out.size() && out[i + 1] == '"') {
                name.push_back('"');
                ++i;
                continue;
            }
            break;
        }
        name.push_back(out[i]);
    }
    require(i < out.size()); // every name written is closed
    end = i + 1;
    return name;
}

bool plainName(std::string_view name)
{
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])))
        return false;
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view sql(reinterpret_cast<const char *>(data), size);
    const std::string out = bracketsToDoubleQuotes(sql);

    // Walk input and output side by side: everything but a closed [name] is copied as it is.
    std::size_t in = 0;
    std::size_t at = 0;
    auto copied = [&](std::size_t end) {
        require(out.compare(at, end - in, sql.substr(in, end - in)) == 0);
        at += end - in;
        in = end;
    };
    while (in < sql.size()) {
        const std::string_view rest = sql.substr(in);
        if (rest.starts_with("--")) {
            const std::size_t end = sql.find('\n', in);
            copied(end == std::string_view::npos ? sql.size() : end);
        } else if (rest.starts_with("/*")) {
            const std::size_t end = sql.find("*/", in + 2);
            copied(end == std::string_view::npos ? sql.size() : end + 2);
        } else if (rest[0] == '\'' || rest[0] == '"' || rest[0] == '`') {
            copied(quotedEnd(sql, in, rest[0]));
        } else if (rest[0] == '[') {
            const std::size_t end = quotedEnd(sql, in, ']');
            if (sql[end - 1] != ']' || end < in + 2) {
                copied(end);
                continue;
            }
            const std::string_view name = sql.substr(in + 1, end - in - 2);
            // A blank keeps the new name apart from a quote right before or after it.
            if (at > 0 && out[at - 1] == '"') {
                require(at < out.size() && out[at] == ' ');
                ++at;
            }
            require(at < out.size() && out[at] == '"');
            std::size_t written = 0;
            const std::string read = unquote(out, at, written);
            std::string expected(name);
            if (plainName(name)) {
                for (char &c : expected)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            require(read == expected);
            if (end < sql.size() && sql[end] == '"') {
                require(written < out.size() && out[written] == ' ');
                ++written;
            }
            at = written;
            in = end;
        } else {
            copied(in + 1);
        }
    }
    require(at == out.size());
    require(bracketsToDoubleQuotes(out) == out);
    return 0;
}
