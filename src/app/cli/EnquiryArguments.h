#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QCommandLineOption;
struct CliContext;
class TqryIPEasyEnquiry;
struct ColumnLayout;
struct ParamRow;

// Selects the IQ with the code in `iq`; prints the one-line error and returns false otherwise.
bool SelectEnquiryByCode(CliContext &context, const QString &code, TqryIPEasyEnquiry &iq);

// Applies "--param NAME=VALUE" arguments to the IQ's parameter rows the way the parameter
// dialog does on OK: every row is checked by its type (given values replace the stored ones)
// and, when all pass, `rows` holds the values as they would be stored; with `store` they are
// stored too. Nothing is written when any check fails.
bool ApplyParamArguments(CliContext &context, int enquiryId, const QString &code,
    const QStringList &assignments, bool store, std::vector<ParamRow> &rows);

// The message texts of the windows hold line breaks; a terminal line gets them as spaces.
QString OneLine(const QString &text);

// The time-out of an IQ's statement when neither --timeout nor the system value sets one: a run
// nobody watches must end some time.
inline constexpr int kUnattendedTimeoutMinutes = 30;

// "--timeout MINUTES", for every command that runs an IQ's statement.
const QCommandLineOption &TimeoutOption();
// The command time-out in seconds: --timeout when given (fractions of a minute allowed, rounded up
// to whole seconds; 0: none), else the system value "IQ Report Timeout (Minutes)" when above 0,
// else kUnattendedTimeoutMinutes. False after printing the one-line error for a bad value.
bool ReadTimeoutSeconds(CliContext &context, int &seconds);

// The result window's columns for the signed-in agent, in its order: the agent's stored layout
// for this IQ, else the IQ's column rows. False with the error text when the rows cannot be read.
bool ResultWindowLayout(CliContext &context, const QStringList &fields, const TqryIPEasyEnquiry &iq,
    ColumnLayout &layout, QString &error);

// The statement that would run for the signed-in agent with the --param values applied, stored
// nowhere (as "prepare" makes it); false after printing the one-line error.
bool PrepareWithoutStoring(CliContext &context, TqryIPEasyEnquiry &iq, QString &sql);
