#pragma once

#include "exchange/ImportOutcome.h"

#include <QString>
#include <QStringList>

#include <vector>

class Connection;

// Export and import of IQ definitions as the dialogs and "corvane-iq export/import" run them, so
// that both write the same files, rows, messages and log lines.

inline constexpr int kLogTypeIQImport = 89;

// Writes the simple XML db file of the IQs with these ids (or of all IQs) to `path`; the file is
// replaced only once it is complete, and the open databases are refused. False with `error`.
bool WriteEnquiryFile(Connection &payroll, bool all, const std::vector<int> &ids,
    const QString &path, const QStringList &protectedFiles, QString &error);

struct ImportRun
{
    // False when the file name was refused or the file could not be read: the dialog stays open.
    bool started = false;
    QString refusal; // why it did not start
    ImportOutcome outcome;
};

// The import of the file named `typedName` (surrounding blanks are not part of the name), with
// its log lines in order: "Import IQ Start", "Import from ..." (or the refusal), the rejection
// lines, the count line (or the import error), "Import IQ Complete". With `showMessages` the
// refusal and the final message are also shown. A dry run reads, checks and writes everything,
// rolls it back and logs nothing.
ImportRun RunEnquiryImport(
    Connection &payroll, const QString &typedName, bool dryRun, bool showMessages);
