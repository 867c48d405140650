#pragma once

#include <QString>
#include <QStringList>

// What one import of a simple XML db file came to.
struct ImportOutcome
{
    int read = 0; // record blocks read, accepted or rejected
    int accepted = 0;
    int lastImportedId = 0; // the id of the last record posted (0: none), also after a failure
    QStringList rejections; // the log line of each rejected record, in file order
    QString error; // why the import failed and wrote nothing; empty when it was committed

    bool Failed() const { return !error.isEmpty(); }
    // "Import 2 records. Accept 1 records."
    QString CountLine() const;
    // What the person is shown at the end: the count line (with the pointer to the log when a
    // record was rejected), or the import error with its reason.
    QString Message() const;
};
