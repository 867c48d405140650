#include "store/SchemaNames.h"

#include "store/Schema.h"

#include <cctype>
#include <unordered_map>

namespace {

std::string lower(std::string_view text)
{
    std::string folded(text);
    for (char &c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

// Every name of mixed case in the payroll scripts (keywords and types are upper case only).
std::unordered_map<std::string, std::string> spellings()
{
    std::unordered_map<std::string, std::string> found;
    for (const SchemaStep &step : PayrollSchemaSteps()) {
        const std::string_view script = step.script;
        std::size_t at = 0;
        while (at < script.size()) {
            const auto isWord = [&](std::size_t i) {
                const unsigned char c = static_cast<unsigned char>(script[i]);
                return std::isalnum(c) || c == '_';
            };
            if (!isWord(at)) {
                ++at;
                continue;
            }
            std::size_t end = at;
            bool hasLower = false;
            bool hasUpper = false;
            for (; end < script.size() && isWord(end); ++end) {
                hasLower = hasLower || std::islower(static_cast<unsigned char>(script[end]));
                hasUpper = hasUpper || std::isupper(static_cast<unsigned char>(script[end]));
            }
            if (hasLower && hasUpper) {
                const std::string_view word = script.substr(at, end - at);
                found.try_emplace(lower(word), word);
            }
            at = end;
        }
    }
    return found;
}

} // namespace

std::string SchemaSpelling(std::string_view name)
{
    static const std::unordered_map<std::string, std::string> known = spellings();
    const auto found = known.find(lower(name));
    return found == known.end() ? std::string(name) : found->second;
}
