#pragma once

#include <QDateTime>
#include <QString>

#include <string>
#include <string_view>

// Doubles every single quote, for a text placed inside a SQL string literal.
QString CheckApostrophe(const QString &text);

// Finds the first marker of parameter `name` in `statement`: "@name" (plain) or "@[name]"
// (bracketed). `position` is the 1-based position of its "@", 0 when there is none; the result
// is true for the bracketed form. A plain name is the longest run of name characters (minus,
// digits, A-Z, a-z, underscore) after "@", so "Date" does not match "@DateTo"; a bracketed name
// is everything up to the next "]". Names compare exactly.
bool FindParameter(const QString &name, const QString &statement, int &position);
// The same, looking only at markers whose "@" is at or after the 0-based index `from`; the
// position is still counted from the start of the statement.
bool FindParameter(const QString &name, const QString &statement, int &position, int from);
bool IsParameterNameChar(QChar c);

// Entity references for & < > " ' and every control character (CR, LF, TAB among them), and
// back. ConvertXMLStringToNormalText(ConvertNormalTextToXMLString(s)) == s for every s; only the
// references the writer makes are restored: any other "&...;" (an unknown name, "&#65;", a
// hexadecimal reference) is kept as it is.
QString ConvertNormalTextToXMLString(const QString &text);
// The same conversion over UTF-8, appended to `out`: for writers that build bytes.
void AppendXMLString(std::string &out, std::string_view utf8);
QString ConvertXMLStringToNormalText(const QString &text);
// The same restoring over UTF-8, appended to `out`.
void AppendNormalText(std::string &out, std::string_view utf8);

// "YYYYMMDD", or "YYYY-MM-DD" with `separators`; the time of day is dropped. Empty when invalid.
QString DateToYYYYMMDD(const QDateTime &value, bool separators);

// The host's apostrophe check of a value typed into a field that must not hold one (a code):
// empty when the value has none, else the message to show. `fieldName` may be empty.
QString CheckApostrophe(const QString &text, const QString &fieldName);
