#include "host/Notes.h"

#include "host/HostContext.h"
#include "host/Messages.h"
#include "host/NotesStore.h"
#include "host/ui/TfrmNotes.h"

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

bool DoNotesForm(const QString &table, int id, bool newNote, const QString &text)
{
    Connection *connection = PayrollConnection();
    if (!connection) {
        ErrMessage(QStringLiteral("Notes are not available: no payroll database is open."));
        return false;
    }
    TfrmNotes dlg(ActiveHostWindow(), *connection);
    dlg.SetRow(table, id);
    dlg.SetNewNote(newNote, text);
    ExecModal(dlg);
    return dlg.Changed();
}
