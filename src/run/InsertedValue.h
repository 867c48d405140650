#pragma once

#include <QString>

// Whether a text value inserted into a statement stays a value there. `start` and `length` mark
// the inserted text (its own quotes included) inside `statement`. Where the value stands in the
// statement's code, it must be exactly one quoted literal; inside a comment it must not end the
// comment (a line break in a "--" comment, "*/" in a block comment) and inside a quoted name it
// must not end the name; inside someone else's quoted text it can never stay a value, because
// its own quotes end that text.
bool StaysOneValue(const QString &statement, qsizetype start, qsizetype length);
