#pragma once

#include <QtGlobal>

#include <string_view>

// Small questions about UTF-8 text that let a reader work on a file's bytes and build a QString
// only where a character outside ASCII makes the answer depend on Unicode.
namespace Utf8Text {

bool isAscii(std::string_view text);
// The length a QString of `text` would have (UTF-16 code units); `text` is valid UTF-8.
qsizetype utf16Length(std::string_view text);
// Equal when letter case is ignored, as QString::compare with Qt::CaseInsensitive judges.
bool sameIgnoringCase(std::string_view a, std::string_view b);

} // namespace Utf8Text
