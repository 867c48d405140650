#pragma once

#include "host/db/filter/FilterNode.h"

#include <memory>
#include <string_view>

// Reads a record filter text into a FilterNode tree; nullptr and the first fault otherwise.
//
//   filter     := or
//   or         := and { OR and }
//   and        := not { AND not }
//   not        := NOT not | "(" or ")" | predicate
//   predicate  := operand ( compare operand | [NOT] LIKE operand | IS [NOT] NULL
//                           | [NOT] IN "(" value { "," value } ")" )
//   compare    := "=" | "<>" | "!=" | "<" | "<=" | ">" | ">="
//   operand    := field | value
//   field      := name | "[" name "]" | '"' name '"'
//   value      := 'text' ('' inside for one ') | [-]number | TRUE | FALSE | NULL
//
// Keywords are matched in any letter case; a bracketed or quoted name is never a keyword.
class RecordFilterParser
{
public:
    static std::unique_ptr<FilterNode> parse(std::string_view text, FilterError &error);
};
