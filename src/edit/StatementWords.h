#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Whole words in a statement, as the editor looks for them. The tests run on text upper-cased
// letter by letter (ASCII only), so "where" is found like "WHERE". A word character is "-", a
// digit, A-Z or "_": a keyword joined to a minus sign ("--DELETE") is part of a longer word,
// anything else (blanks, brackets, quotes, "@", non-ASCII letters) ends a word.
bool IsStatementWordChar(char c);

// The 0-based position of the first occurrence of `word` (upper case) at or after `from`, when
// that occurrence is a whole word; npos otherwise. Only the first occurrence is examined: when
// it is part of a longer word ("NOWHERE"), the answer is npos even if a whole word follows.
std::size_t FindReserve(std::string_view text, std::string_view word, std::size_t from);

// The keywords an IQ statement may not hold as whole words, tested in this order, each
// occurrence in turn: USE, INSERT, DELETE, UPDATE. Empty when the statement passes, else the
// message for the first one found:  "USE" is not allowed in the SQL Statement!
// String literals and comments are not told apart: a keyword there is refused too.
std::string ForbiddenKeywordMessage(std::string_view statement);
