#pragma once

#include "run/ParamRow.h"

#include <QString>

#include <vector>

class Connection;

// The text written in place of a parameter marker: a date as '' + YYYYMMDD + '' (nothing when
// it is null or not after 30 Dec 1899), text between single quotes exactly as stored (quotes
// inside are not doubled), every other type bare (nothing when null).
QString ParamValueText(const ParamRow &row);

// Replaces the markers "@Name" and "@[Name]" of each row, one row after another. After each
// replacement the search goes on in the text that follows the inserted value, so a value never
// replaces its own marker twice; a marker with at most one character after it ends the search
// for that name. Markers of names that have no row, and any other "@", are left as written.
QString SubstituteParameters(const QString &sql, const std::vector<ParamRow> &rows);

// The parameter rows of an IQ in the order the database returns them. False with the error
// text when they cannot be read.
bool ReadParamRows(
    Connection &payroll, int enquiryId, bool ordered, std::vector<ParamRow> &rows, QString &error);

// Turns a stored IQ statement into the statement that runs: parameter values (rows read only
// when the text holds an "@"), the current agent's security filters, then the host's security
// checker. On refusal `out` is empty and `error` is "The requested action is forbidden"; when
// the parameter rows cannot be read `error` holds the database's text. The caller shows it.
// The checker compiles the statement on `target`, the report connection it will run on (the
// common one for a common-database IQ); null means the host's payroll report connection.
bool PrepareEnquirySQL(Connection &payroll, int enquiryId, const QString &storedSql, QString &out,
    QString &error, Connection *target = nullptr);

inline constexpr const char *kForbiddenText = "The requested action is forbidden";
