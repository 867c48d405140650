#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

// Where an export's bytes go, written so that no failure passes in silence: every write, the
// flush to the disk and the close are checked, and a failure reads "Cannot write "<file>": <the
// system's reason>" (the text of errno, e.g. "No space left on device").
//
// - A regular file, or a new one, is written to a temporary file beside it that replaces it only
//   at Commit: it appears whole or not at all. A link is followed: the file it names is replaced
//   and the link stays.
// - A FIFO or a character device is opened and written in place, never replaced by a regular
//   file: whoever reads it would lose it. What was written before a failure stays written.
// - A descriptor the caller owns (standard output) is written as it is and never closed.
//
// The protected files (the open databases) are refused, with their -journal, -wal and -shm
// files, under any spelling of their path, through links and hard links; so are folders, block
// devices and sockets. Nothing is written to a refused target. Not for use from two threads.
class ExportFile
{
public:
    explicit ExportFile(const QString &path, const QStringList &protectedFiles = {});
    // `name` names the descriptor in messages, e.g. "standard output".
    ExportFile(int descriptor, const QString &name);
    ~ExportFile(); // an uncommitted temporary file is removed
    ExportFile(const ExportFile &) = delete;
    ExportFile &operator=(const ExportFile &) = delete;

    // Why `path` may not be written (the one-line error), or an empty text.
    static QString Refusal(const QString &path, const QStringList &protectedFiles);
    // The same for an open descriptor: standard output sent onto a database by the shell.
    static QString DescriptorRefusal(
        int descriptor, const QString &name, const QStringList &protectedFiles);

    // Checks the target and opens it (a FIFO waits here for its reader). False with the error.
    bool Open(QString &error);
    // After the first failure nothing more is written; Failed() tells, Commit reports it.
    void Write(const char *data, qint64 size);
    void Write(const QByteArray &bytes) { Write(bytes.constData(), bytes.size()); }
    bool Failed() const { return m_errno != 0; }
    // Flushes to the disk, closes, and puts a replacement in place. A descriptor stays open and
    // may be committed again after more writes. False with the first failure's error.
    bool Commit(QString &error);
    void Cancel(); // a replacement is removed; the target stays as it was
    QString DisplayName() const;

private:
    enum class Mode { Unopened, Replace, InPlace, Descriptor };
    void Fail(int number);
    QString FailureText(int number) const;
    void CloseDescriptor();

    QString m_path;
    QStringList m_protectedFiles;
    QString m_name; // a descriptor's name
    Mode m_mode = Mode::Unopened;
    int m_fd = -1;
    std::string m_target; // the file a replacement moves to
    std::string m_temporary; // the replacement while it is written
    int m_errno = 0;
};
