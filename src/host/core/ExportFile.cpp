#include "host/core/ExportFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A file that an export must never reach, and the open database it belongs to.
struct GuardedFile
{
    fs::path path;
    QString database;
    bool isDatabase; // the database file itself, not one that SQLite keeps beside it
};

fs::path NativePath(const QString &path)
{
    return fs::path(QFile::encodeName(path).toStdString());
}

// Absolute, with "." and ".." and every link that exists resolved.
fs::path Resolved(const fs::path &path)
{
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    if (error)
        return path;
    const fs::path resolved = fs::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal() : resolved;
}

// Each database file with the journal, write-ahead log and shared-memory files SQLite keeps
// beside it, under the name the file was opened by and under the name its links lead to.
std::vector<GuardedFile> GuardedFiles(const QStringList &databases)
{
    std::vector<GuardedFile> guarded;
    for (const QString &database : databases) {
        if (database.isEmpty())
            continue;
        const fs::path given = NativePath(database);
        const fs::path parent = given.has_parent_path() ? given.parent_path() : fs::path(".");
        for (const fs::path &base : { Resolved(given), Resolved(parent) / given.filename() }) {
            for (const char *suffix : { "", "-journal", "-wal", "-shm" })
                guarded.push_back({ fs::path(base.native() + suffix), database, !*suffix });
        }
    }
    return guarded;
}

// `cannotWrite` names the target: "Cannot write "<file>"" or "Cannot write to <descriptor>".
QString GuardedText(const QString &cannotWrite, const GuardedFile &file)
{
    return file.isDatabase
        ? QStringLiteral("%1: it is the open database \"%2\".").arg(cannotWrite, file.database)
        : QStringLiteral("%1: it belongs to the open database \"%2\".")
              .arg(cannotWrite, file.database);
}

QString SystemText(int number)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

ExportFile::ExportFile(const QString &path, const QStringList &protectedFiles)
    : m_path(path)
    , m_protectedFiles(protectedFiles)
{
}

ExportFile::ExportFile(int descriptor, const QString &name)
    : m_name(name)
    , m_mode(Mode::Descriptor)
    , m_fd(descriptor)
{
}

ExportFile::~ExportFile()
{
    if (m_mode != Mode::Descriptor)
        Cancel();
}

QString ExportFile::Refusal(const QString &path, const QStringList &protectedFiles)
{
    const QString cannotWrite = QStringLiteral("Cannot write \"%1\"").arg(path);
    if (path.isEmpty())
        return QStringLiteral("No file to write to was given.");
    const fs::path given = NativePath(path);
    std::error_code error;
    const fs::file_status status = fs::status(given, error); // follows links
    const bool exists = fs::exists(status);
    if (exists) {
        switch (status.type()) {
        case fs::file_type::regular:
        case fs::file_type::fifo:
        case fs::file_type::character:
            break;
        case fs::file_type::directory:
            return cannotWrite + QStringLiteral(": it is a folder.");
        default:
            return cannotWrite
                + QStringLiteral(": it is not a file, a FIFO or a character device.");
        }
    }
    const fs::path target = Resolved(given);
    for (const GuardedFile &file : GuardedFiles(protectedFiles)) {
        if (target == file.path || (exists && fs::equivalent(given, file.path, error) && !error))
            return GuardedText(cannotWrite, file);
    }
    return {};
}

QString ExportFile::DescriptorRefusal(
    int descriptor, const QString &name, const QStringList &protectedFiles)
{
    struct stat target = {};
    if (::fstat(descriptor, &target) != 0)
        return {}; // a closed descriptor: its writes fail and say so
    for (const GuardedFile &file : GuardedFiles(protectedFiles)) {
        struct stat guarded = {};
        if (::stat(file.path.c_str(), &guarded) == 0 && guarded.st_dev == target.st_dev
            && guarded.st_ino == target.st_ino)
            return GuardedText(QStringLiteral("Cannot write to ") + name, file);
    }
    return {};
}

bool ExportFile::Open(QString &error)
{
    error.clear();
    if (m_mode == Mode::Descriptor)
        return true;
    if (m_mode != Mode::Unopened) {
        error = QStringLiteral("Cannot write %1: it is open already.").arg(DisplayName());
        return false;
    }
    error = Refusal(m_path, m_protectedFiles);
    if (!error.isEmpty())
        return false;
    const fs::path given = NativePath(m_path);
    struct stat existing = {};
    const bool exists = ::stat(given.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        // No O_TRUNC, no O_CREAT: the FIFO or device is written as it is.
        m_fd = ::open(given.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (m_fd < 0) {
            error = FailureText(errno);
            return false;
        }
        m_mode = Mode::InPlace;
        return true;
    }
    // A link leads to the file that is replaced; a new file goes where the path says.
    m_target = Resolved(given).native();
    const fs::path target(m_target);
    std::string pattern
        = (target.parent_path() / ("." + target.filename().native() + ".XXXXXX")).native();
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) {
        error = FailureText(errno);
        return false;
    }
    m_temporary = pattern;
    m_mode = Mode::Replace;
    // The replacement keeps the permissions of the file it replaces.
    if (::fchmod(m_fd, exists ? existing.st_mode & 07777 : NewFileMode()) != 0) {
        error = FailureText(errno);
        Cancel();
        return false;
    }
    return true;
}

void ExportFile::Write(const char *data, qint64 size)
{
    if (m_errno != 0)
        return;
    if (m_fd < 0) {
        Fail(EBADF);
        return;
    }
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, std::size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
            return;
        }
        if (written == 0) {
            Fail(EIO);
            return;
        }
        data += written;
        size -= written;
    }
}

bool ExportFile::Commit(QString &error)
{
    error.clear();
    switch (m_mode) {
    case Mode::Unopened:
        Fail(EBADF);
        break;
    case Mode::Descriptor: {
        // Output sent to a file by the shell reaches the disk before the exit says it did.
        struct stat status = {};
        if (m_errno == 0 && ::fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode)
            && ::fsync(m_fd) != 0 && errno != EINVAL)
            Fail(errno);
        break;
    }
    case Mode::InPlace:
        if (::close(m_fd) != 0 && errno != EINTR)
            Fail(errno);
        m_fd = -1;
        m_mode = Mode::Unopened;
        break;
    case Mode::Replace:
        if (m_errno == 0 && ::fsync(m_fd) != 0)
            Fail(errno);
        if (::close(m_fd) != 0 && errno != EINTR)
            Fail(errno);
        m_fd = -1;
        if (m_errno == 0 && ::rename(m_temporary.c_str(), m_target.c_str()) != 0)
            Fail(errno);
        if (m_errno == 0) {
            m_temporary.clear();
            m_mode = Mode::Unopened;
        }
        break;
    }
    if (m_errno == 0)
        return true;
    error = FailureText(m_errno);
    Cancel();
    return false;
}

void ExportFile::Cancel()
{
    switch (m_mode) {
    case Mode::Descriptor:
    case Mode::Unopened:
        return;
    case Mode::InPlace:
        CloseDescriptor();
        break;
    case Mode::Replace:
        CloseDescriptor();
        if (!m_temporary.empty())
            ::unlink(m_temporary.c_str());
        m_temporary.clear();
        break;
    }
    m_mode = Mode::Unopened;
}

QString ExportFile::DisplayName() const
{
    return m_name.isEmpty() ? QLatin1Char('"') + m_path + QLatin1Char('"') : m_name;
}

void ExportFile::Fail(int number)
{
    if (m_errno == 0)
        m_errno = number != 0 ? number : EIO;
}

QString ExportFile::FailureText(int number) const
{
    return (m_name.isEmpty() ? QStringLiteral("Cannot write %1: %2")
                             : QStringLiteral("Cannot write to %1: %2"))
        .arg(DisplayName(), SystemText(number));
}

void ExportFile::CloseDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
