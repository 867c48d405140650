#pragma once

#include "run/ParamRow.h"

#include <QDateTime>
#include <QString>

#include <vector>

class Connection;

// Parameter values as a person types them, checked and stored the same way by the parameter
// dialog and by the command-line tool. Formats are those of the default locale (QLocale()), which
// is also where the host's GlobalFormatSettings come from.

// The outcome of checking one value against its type.
struct ParamCheck
{
    bool ok = false;
    QString errorText; // the conversion's own words, e.g. "'abc' is not a valid integer value"
    QDateTime date; // the converted value of the date type
};

// By type index: boolean = a number (zero false) or true/false in any case; text = anything;
// date = the short date format (one- or two-digit day and month, two- or four-digit year) or
// ISO yyyy-MM-dd, either with an optional time H:mm[:ss] (or h:mm[:ss] AM/PM); decimal = a
// number with the regional decimal separator and no group separators; integer = a signed
// 32-bit whole number. Blanks around a value are ignored by the check (the value itself is
// stored as typed).
ParamCheck CheckParamValue(int typeIndex, const QString &value);

// The message shown when a value does not match its type:
// Value "<value>" does not match Type "<type>"! [\r\nError: <errorText>.]
QString ParamMismatchMessage(
    const QString &value, const QString &typeName, const QString &errorText);
// The error text for a date that did not convert: the conversion's text, then
// ".\r\rPlease enter dates in \"<short date format>\" format".
QString DateErrorText(const QString &conversionError);

// How a stored value is offered for editing: a date (when set) in the regional short date
// format with a four-digit year, with the time unless it is midnight; a number (decimal, or a
// boolean given as a number) in the regional format; other values as stored.
QString ParamDisplayValue(const ParamRow &row);

// How a checked value is stored and goes into a statement: a number in the C locale ("12.5",
// whatever the person's locale), so that any locale reads it back and no statement sees a
// decimal comma; any other value as typed.
QString CanonicalParamText(int typeIndex, const QString &value);

// One row of a parameter set (cParamDesc, cType, cValue, dtValue).
struct ParamEntry
{
    QString name;
    QString typeName; // one of TSQLDataTypesString
    QString value; // as typed
    QDateTime date; // set by ValidateParamEntries for the date type
};

ParamEntry EntryFromRow(const ParamRow &row);
// The row as StoreParamValues writes it: a date in dtValue (cValue null), any other value in
// cValue in its canonical form. The entry must be validated.
ParamRow RowFromEntry(const ParamEntry &entry);

// Checks the rows in order and stops at the first failure: `message` is the text to show and
// `failedRow` its index. Sets `date` of every date row that converts.
bool ValidateParamEntries(std::vector<ParamEntry> &entries, QString &message, int &failedRow);

// Writes validated values back to the IQ's parameter rows: the n-th entry to the n-th row in
// idEnquiryParam order, with its type index; a date goes to dtValue (cValue null), any other
// value to cValue (dtValue null), a number in its canonical form. All rows or none: on failure
// nothing is written and `error` says why (also when the number of entries is not the number of
// rows).
bool StoreParamValues(
    Connection &payroll, int enquiryId, const std::vector<ParamEntry> &entries, QString &error);
