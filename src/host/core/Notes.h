#pragma once

#include <QString>

// Notes of a table row in the payroll database (see NotesStore). False when there are none or
// the database cannot be read.
bool NoteExists(const QString &table, int id);
