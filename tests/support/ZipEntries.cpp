#include "ZipEntries.h"

#include <QFile>

#include <zlib.h>

namespace {

quint32 U32(const QByteArray &data, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 U16(const QByteArray &data, qsizetype at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

QByteArray Inflate(const QByteArray &raw, quint32 size)
{
    QByteArray out(qsizetype(size), '\0');
    z_stream stream {};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
    stream.avail_in = uInt(raw.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END ? out : QByteArray();
}

} // namespace

std::map<std::string, QByteArray> ReadZipEntries(const QString &path)
{
    std::map<std::string, QByteArray> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray data = file.readAll();
    // The central directory names every entry with its sizes, whatever the local headers say.
    const qsizetype end = data.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || !data.startsWith(QByteArray("PK\x03\x04", 4)))
        return entries;
    const int count = U16(data, end + 10);
    qsizetype at = qsizetype(U32(data, end + 16));
    for (int i = 0; i < count && U32(data, at) == 0x02014b50; ++i) {
        const quint16 method = U16(data, at + 10);
        const quint32 packed = U32(data, at + 20);
        const quint32 size = U32(data, at + 24);
        const quint16 nameLength = U16(data, at + 28);
        const quint16 extraLength = U16(data, at + 30);
        const quint16 commentLength = U16(data, at + 32);
        const qsizetype local = qsizetype(U32(data, at + 42));
        const std::string name = data.mid(at + 46, nameLength).toStdString();
        const qsizetype start = local + 30 + U16(data, local + 26) + U16(data, local + 28);
        const QByteArray raw = data.mid(start, qsizetype(packed));
        entries[name] = method == 0 ? raw : Inflate(raw, size);
        at += 46 + nameLength + extraLength + commentLength;
    }
    return entries;
}
