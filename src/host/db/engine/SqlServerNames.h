#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// IQ statements are written for SQL Server and name objects as "dbo.x", "[dbo].x" or "dbo.[x]".
// On SQLite the owner "dbo" means nothing: the qualifier is removed so that the object resolves
// through the connection's databases (main first, then the attached ones). Only whole tokens
// followed by "." and a name are removed; string literals, other quoted identifiers and comments
// are left exactly as written.
struct RemovedText
{
    std::size_t offset; // in the original text
    std::size_t length;
};

std::string stripDboQualifiers(std::string_view sql, std::vector<RemovedText> *removed = nullptr);

// Maps an offset in the stripped text back to the original text.
std::size_t originalOffset(std::size_t strippedOffset, const std::vector<RemovedText> &removed);

// PostgreSQL reads [name] as an array subscript: bracketed names become double-quoted ones
// outside literals, comments and other quoted names. A plain name (letters, digits, _) is folded
// to lower case as PostgreSQL folds the same name unquoted; any other keeps its case. A "
// inside the brackets is doubled; an unclosed bracket is left as written. A blank is put
// between the new name and a double quote right beside it, which would otherwise join them.
std::string bracketsToDoubleQuotes(std::string_view sql);
