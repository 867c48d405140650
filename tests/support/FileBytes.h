#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's bytes; empty when it cannot be read, which a test that expects content fails on.
inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's content with these bytes; false when it cannot be written.
inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
