#pragma once

#include <QString>

// Notes of a table row in the payroll database (see NotesStore). False when there are none or
// the database cannot be read.
bool NoteExists(const QString &table, int id);
// Opens the notes window for the row. With `newNote` the text box starts with `text` for a new
// note; otherwise it shows the first note. True when a note was added, changed or deleted.
bool DoNotesForm(const QString &table, int id, bool newNote, const QString &text);
