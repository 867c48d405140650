#include "host/db/security/SqliteSecurityGuard.h"

#include "host/db/engine/NameFold.h"

#include <algorithm>
#include <string_view>

#include <sqlite3.h>

namespace {

bool oneOf(std::string_view name, std::initializer_list<std::string_view> names)
{
    return std::any_of(
        names.begin(), names.end(), [name](std::string_view n) { return NameFold::same(name, n); });
}

// Pragmas that only report; the first group takes no value, the second a table or index name.
bool readingPragma(std::string_view name, const char *argument)
{
    if (!argument)
        return oneOf(name,
            { "user_version", "application_id", "schema_version", "data_version", "page_count",
                "page_size", "freelist_count", "encoding", "table_list", "database_list",
                "collation_list", "function_list", "compile_options" });
    return oneOf(name,
        { "table_info", "table_xinfo", "index_list", "index_info", "index_xinfo",
            "foreign_key_list" });
}

// The functions a report may call. Anything else (extensions, full-text internals, the
// tokenizer that hands out addresses, logging) is refused, whatever the build compiled in.
bool allowedFunction(std::string_view name)
{
    static constexpr std::string_view kNames[] { "->", "->>", "abs", "acos", "acosh", "asin",
        "asinh", "atan", "atan2", "atanh", "avg", "ceil", "ceiling", "char", "coalesce", "cos",
        "cosh", "count", "cume_dist", "current_date", "current_time", "current_timestamp", "date",
        "datetime", "degrees", "dense_rank", "exp", "first_value", "floor", "format", "glob",
        "group_concat", "hex", "ifnull", "iif", "instr", "json", "json_array", "json_array_length",
        "json_extract", "json_group_array", "json_group_object", "json_insert", "json_object",
        "json_patch", "json_quote", "json_remove", "json_replace", "json_set", "json_type",
        "json_valid", "julianday", "lag", "last_value", "lead", "length", "like", "likelihood",
        "likely", "ln", "log", "log10", "log2", "lower", "ltrim", "max", "min", "mod", "nth_value",
        "ntile", "nullif", "percent_rank", "pi", "pow", "power", "printf", "quote", "radians",
        "random", "randomblob", "rank", "replace", "round", "row_number", "rtrim", "sign", "sin",
        "sinh", "soundex", "sqlite_version", "sqrt", "strftime", "substr", "substring", "sum",
        "tan", "tanh", "time", "total", "trim", "trunc", "typeof", "unicode", "unixepoch",
        "unlikely", "upper", "zeroblob" };
    return std::any_of(std::begin(kNames), std::end(kNames),
        [name](std::string_view n) { return NameFold::same(name, n); });
}

std::string text(const char *value)
{
    return value ? std::string(value) : std::string();
}

} // namespace

int SqliteSecurityGuard::authorize(
    int action, const char *arg1, const char *arg2, const char *, const char *)
{
    std::string refusal;
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_READ:
        if (arg1 && arg2 && NameFold::same(arg1, "_rtblAgents")
            && NameFold::same(arg2, "cPasswordHash"))
            refusal = "reads the agents' password hashes";
        else if (arg1 && oneOf(arg1, { "dbstat", "sqlite_stmt", "sqlite_dbpage", "fts3tokenize" }))
            refusal = "reads the engine's internals (" + text(arg1) + ")";
        break;
    case SQLITE_FUNCTION:
        if (!arg2 || !allowedFunction(arg2))
            refusal = "calls the function " + text(arg2);
        break;
    case SQLITE_PRAGMA:
        if (!arg1 || !readingPragma(arg1, arg2))
            refusal = "PRAGMA " + text(arg1);
        break;
    case SQLITE_UPDATE:
        // SQLite asks this while it sets up a table-valued function; a real update of the
        // schema table makes the statement writable, which the checker refuses on its own, and
        // a report connection cannot write at all.
        if (arg1
            && (NameFold::same(arg1, "sqlite_master")
                || NameFold::same(arg1, "sqlite_temp_master")))
            return SQLITE_OK;
        refusal = "writes to " + text(arg1);
        break;
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        refusal = "controls a transaction";
        break;
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        refusal = "attaches or detaches a database";
        break;
    default:
        refusal = "changes the database";
        break;
    }
    if (refusal.empty())
        return SQLITE_OK;
    if (m_reason.empty())
        m_reason = refusal;
    return SQLITE_DENY;
}
