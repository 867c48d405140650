#include "store/DatabaseFile.h"

#include "store/SqlHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void DatabaseFile::Discard()
{
    connection.reset();
    if (created)
        QFile::remove(path);
}

bool OpenDatabaseFile(
    const QString &path, DatabaseKind kind, bool create, DatabaseFile &opened, QString &error)
{
    const QFileInfo info(path);
    opened.path = path;
    if (path.isEmpty()) {
        error = QStringLiteral("No %1 database file was given.").arg(DatabaseKindName(kind));
        return false;
    }
    if (info.isDir()) {
        error
            = QStringLiteral("The database file \"%1\" cannot be read: it is a folder.").arg(path);
        return false;
    }
    if (!info.exists()) {
        if (!create) {
            error = QStringLiteral("The %1 database file \"%2\" does not exist.")
                        .arg(DatabaseKindName(kind), path);
            return false;
        }
        if (!QDir().mkpath(info.absolutePath())) {
            error = QStringLiteral("The folder \"%1\" for the %2 database cannot be created.")
                        .arg(info.absolutePath(), DatabaseKindName(kind));
            return false;
        }
        opened.created = true;
    } else if (!info.isReadable()) {
        error = QStringLiteral("The database file \"%1\" cannot be read: permission denied.")
                    .arg(path);
        return false;
    }

    DbError dbError;
    const auto mode = create ? SqliteConnection::OpenMode::ReadWriteCreate
                             : SqliteConnection::OpenMode::ReadWrite;
    opened.connection = SqliteConnection::open(path.toStdString(), mode, dbError);
    if (!opened.connection) {
        error = FileErrorText(path, dbError);
        return false;
    }
    const std::optional<int> version = CheckSchema(*opened.connection, kind, error);
    if (!version)
        return false;
    if (*version == 0 && !create) {
        error = QStringLiteral("The %1 database file \"%2\" is empty; it was left unchanged, as "
                               "only \"corvane-iq demo\" makes new databases.")
                    .arg(DatabaseKindName(kind), path);
        return false;
    }
    return true;
}
