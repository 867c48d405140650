#pragma once

#include "host/db/engine/SqliteConnection.h"
#include "store/Schema.h"

#include <QString>

#include <memory>

// A database file the store opened, and whether opening it created it.
struct DatabaseFile
{
    std::unique_ptr<SqliteConnection> connection;
    QString path;
    bool created = false;

    // Leaves the disk as it was found: closes, and removes the file when opening created it.
    void Discard();
};

// Opens the file as a database of `kind` without writing to it. Refused with a one-line error
// naming the file: missing (created, with its folder, only when `create` is set), a folder,
// unreadable, not a database, someone else's, made by a newer program, or empty (a zero-byte file
// or one without tables or mark) unless `create` is set, so that no file becomes a database by
// accident.
bool OpenDatabaseFile(
    const QString &path, DatabaseKind kind, bool create, DatabaseFile &opened, QString &error);
