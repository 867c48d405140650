#pragma once

#include <string>
#include <string_view>
#include <vector>

// The statement the editor compiles to learn an IQ's result columns: every whole-word WHERE
// gets " 1 = 2 and " after it, so that the probe returns no rows, and every parameter marker
// ("@Name", "@[Name]") becomes " Null ". Every "@" starts a marker, also one inside a string
// literal or a comment, so a probe that was built holds no "@".
struct ColumnProbe
{
    std::string text; // the probe; empty when `error` is set
    std::vector<std::string> names; // marker names in text order, every use (repeats included)
    std::string error; // "Please check the parameter setting!" or the bracket message
};

inline constexpr const char *kParamSettingText = "Please check the parameter setting!";
inline constexpr const char *kParamBracketText
    = "\"[\", \"]\" and \"@\" are not allowed in parameter names!";

// Bytes in, bytes out (UTF-8): every character the probe looks for is ASCII, which never occurs
// inside another character's encoding. Linear in the length of the statement.
ColumnProbe BuildColumnProbe(std::string_view statement);
