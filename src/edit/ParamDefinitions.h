#pragma once

#include "run/ParamValue.h"

#include <QString>

#include <vector>

class Connection;

// The editor's parameter list: one ParamEntry per parameter (name, type name or empty, default
// as shown, date), in order of first use in the statement.

// Parameter names are kept to the length of the stored column.
inline constexpr int kParamNameLength = 50;

// The list for a changed statement, from its marker names in text order: each name once, as
// written at its first use (compared ignoring letter case); a name that `current` has keeps its
// type and default, any other starts without either.
std::vector<ParamEntry> MergeParamDefinitions(
    const std::vector<QString> &markerNames, const std::vector<ParamEntry> &current);

// The stored definitions of an IQ in idEnquiryParam order. False with `error`.
bool LoadParamDefinitions(
    Connection &payroll, int enquiryId, std::vector<ParamEntry> &params, QString &error);

// Writes the list as the IQ's definitions: the stored rows are overwritten in idEnquiryParam
// order, extended and trimmed (`overwrite` false: a new IQ, rows are only added). A row without
// a known type stores a null type id, a date row without a date a null date, so nothing of the
// row it overwrites survives. Runs inside the caller's transaction; false with `error`.
bool SaveParamDefinitions(Connection &payroll, int enquiryId, bool overwrite,
    const std::vector<ParamEntry> &params, QString &error);
