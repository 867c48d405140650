#pragma once

#include "host/db/engine/FieldType.h"
#include "host/db/engine/Value.h"

#include <QString>

#include <string>
#include <string_view>

class Statement;

// How a stored value is written into the exchange file and read back, the same on every machine:
// booleans "True"/"False", numbers in the C locale, date-times "yyyy-MM-ddTHH:mm:ss", binary
// values as base64 on one line. Texts are written as they are.
struct FieldTextForm
{
    // The text form (UTF-8) of a column of the current row into `text`; empty for null. A stored
    // value that does not fit its declared type (SQLite keeps what it is given) is written as
    // stored.
    static void write(const Statement &row, int column, FieldType type, std::string &text);
    // The value to store for the UTF-8 `text` in a column of this type and declared width
    // (0: none, else counted in UTF-16 units, as Qt counts); false with `error` when the text is
    // no such value.
    static bool read(
        std::string_view text, FieldType type, int width, Value &value, QString &error);
    // The width in characters of a declared type such as "VARCHAR(100)"; 0 when it has none.
    static int declaredWidth(const std::string &declaredType);
};
