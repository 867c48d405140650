#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The code page files are exchanged in, the same on every platform (Qt has no codec for it):
// Latin-1 with a table for 0x80 to 0x9F. The five bytes that code page leaves unassigned stand for
// the control characters of their own value, as the system's conversion does, so every byte reads.
struct Windows1252
{
    static QByteArray toUtf8(QByteArrayView bytes);
    // nullopt when `text` holds a character the code page lacks.
    static std::optional<QByteArray> encode(const QString &text);
};
