#pragma once

#include "run/ParamRow.h"

#include <QString>

#include <vector>

class Connection;

// How a text value goes into a statement, as the system value "IQ Text Parameter Values" says:
// "quotes doubled" (the default: a quote in the value stays part of the value, so no value can
// end its literal and change the statement around it) or "as typed" (quotes inside are not
// doubled, for installations whose IQs rely on splicing text in).
enum class TextValues { QuotesDoubled, AsTyped };
TextValues CurrentTextValues();

// The text written in place of a parameter marker: a date as '' + YYYYMMDD + '' (nothing when
// it is null or not after 30 Dec 1899), text between single quotes, every other type bare
// (nothing when null), a number in the C locale.
QString ParamValueText(const ParamRow &row, TextValues mode);

// Replaces the markers "@Name" and "@[Name]" of each row, one row after another. After each
// replacement the search goes on in the text that follows the inserted value, so a value never
// replaces its own marker twice; a marker with at most one character after it ends the search
// for that name. Markers of names that have no row, and any other "@", are left as written.
// With doubled quotes, a marker inside an earlier value belongs to that value and stays, and
// every text value must stay one value where it lands (see StaysOneValue): otherwise the result
// is empty and `error` says why.
QString SubstituteParameters(const QString &sql, const std::vector<ParamRow> &rows, TextValues mode,
    QString *error = nullptr);

// The parameter rows of an IQ in the order the database returns them. False with the error
// text when they cannot be read.
bool ReadParamRows(
    Connection &payroll, int enquiryId, bool ordered, std::vector<ParamRow> &rows, QString &error);

// Turns a stored IQ statement into the statement that runs: parameter values (rows read only
// when the text holds an "@"), the current agent's security filters, then the host's security
// checker. On refusal `out` is empty and `error` is "The requested action is forbidden"; when
// the parameter rows cannot be read, a value holds a NUL character or a text value would not
// stay a value, `error` says so. The caller shows it.
// The checker compiles the statement on `target`, the report connection it will run on (the
// common one for a common-database IQ); null means the host's payroll report connection.
// `values`, when given, stand in for the stored parameter rows (a preview that stores nothing).
bool PrepareEnquirySQL(Connection &payroll, int enquiryId, const QString &storedSql, QString &out,
    QString &error, Connection *target = nullptr, const std::vector<ParamRow> *values = nullptr);

inline constexpr const char *kForbiddenText = "The requested action is forbidden";
