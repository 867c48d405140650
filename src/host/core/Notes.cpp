#include "host/core/Notes.h"

#include "host/core/HostContext.h"
#include "host/core/NotesStore.h"

#include <cstdio>

bool NoteExists(const QString &table, int id)
{
    Connection *connection = PayrollConnection();
    if (!connection)
        return false;
    bool exists = false;
    QString error;
    if (!NotesStore(*connection).exists(table, id, exists, error))
        fprintf(stderr, "notes not read: %s\n", qPrintable(error));
    return exists;
}
