// The editor's statement text over arbitrary bytes: the probe that discovers columns and the
// forbidden-keyword check. Neither may crash; a probe that was built holds no "@" (every marker
// became Null), keeps the statement's text otherwise, and refuses with one of its two texts.
#include "edit/ColumnProbe.h"
#include "edit/StatementWords.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view statement(reinterpret_cast<const char *>(data), size);
    const ColumnProbe probe = BuildColumnProbe(statement);
    if (probe.error.empty()) {
        if (probe.text.find('@') != std::string::npos)
            std::abort();
        if (statement.find('@') == std::string_view::npos && !probe.names.empty())
            std::abort();
    } else if (probe.error != kParamSettingText && probe.error != kParamBracketText) {
        std::abort();
    } else if (!probe.text.empty()) {
        std::abort();
    }
    const std::string message = ForbiddenKeywordMessage(statement);
    if (!message.empty()
        && message.find("is not allowed in the SQL Statement!") == std::string::npos)
        std::abort();
    return 0;
}
