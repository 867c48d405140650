#pragma once

#include <QString>
#include <QStringList>

struct CliContext;
class TqryIPEasyEnquiry;

// Selects the IQ with the code in `iq`; prints the one-line error and returns false otherwise.
bool SelectEnquiryByCode(CliContext &context, const QString &code, TqryIPEasyEnquiry &iq);

// Applies "--param NAME=VALUE" arguments to the IQ's parameter rows the way the parameter
// dialog does on OK: every row is checked by its type (given values replace the stored ones)
// and, when all pass, all are stored. Nothing is written when any check fails.
bool ApplyParamArguments(
    CliContext &context, int enquiryId, const QString &code, const QStringList &assignments);

// The message texts of the windows hold line breaks; a terminal line gets them as spaces.
QString OneLine(const QString &text);
