#include "groupcommitwriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

namespace {

// Up to this many files, an fdatasync of each costs less than a syncfs,
// which also writes out whatever else is waiting on that file system.
constexpr qsizetype kFewFiles = 2;

// Attempts at a free hidden temporary name before giving up.
constexpr int kNameAttempts = 100;

QString errorText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// ".NAME.XXXXXX": hidden, and beside the file it will become. A long name
// is cut so that the temporary one stays within the length a name may have.
QByteArray hiddenName(const QString &name)
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray out = '.' + QFile::encodeName(name).left(200) + '.';
    for (int i = 0; i < 6; ++i)
        out += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return out;
}

struct ProcFdPath {
    explicit ProcFdPath(int fd) { std::snprintf(text, sizeof text, "/proc/self/fd/%d", fd); }
    char text[32];
};

} // namespace

QString WriteError::message() const
{
    return QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

GroupCommitWriter::GroupCommitWriter(const QString &folder, GroupLimits limits,
                                     Temporaries temporaries)
    : m_folder(folder), m_limits(limits), m_unnamed(temporaries == Temporaries::Unnamed)
{
}

GroupCommitWriter::~GroupCommitWriter()
{
    waitForGroupOnItsWay();
    discard();
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

WriteError GroupCommitWriter::error(const QString &name, int code) const
{
    return {QDir(m_folder).filePath(name), errorText(code)};
}

std::optional<WriteError> GroupCommitWriter::openFolder(const QString &name)
{
    if (m_dirFd >= 0)
        return std::nullopt;
    m_dirFd = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0)
        return error(name, errno);
    // Where the kernel does not link a descriptor itself, unnamed files get
    // their names through /proc; without it, hidden names are used.
    if (m_unnamed && ::access("/proc/self/fd", X_OK) != 0)
        m_unnamed = false;
    return std::nullopt;
}

int GroupCommitWriter::createTemporary(const QString &name, QByteArray *tempName)
{
    if (m_unnamed) {
        const int fd = ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        // A file system without O_TMPFILE says so in one of these ways;
        // anything else (no room, no permission) is the answer for a named
        // file too.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return -1;
        m_unnamed = false;
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QByteArray candidate = hiddenName(name);
        const int fd = ::openat(m_dirFd, candidate.constData(),
                                O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *tempName = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

std::optional<WriteError> GroupCommitWriter::add(const QString &name, const QByteArray &bytes)
{
    if (auto failure = openFolder(name))
        return failure;
    if (m_pending.isEmpty())
        m_groupStarted.start();
    Pending file{name, {}, -1};
    if (auto failure = writeTemporary(file, bytes))
        return failure;
    m_pending.append(file);
    if (m_pending.size() >= m_limits.files || m_groupStarted.elapsed() >= m_limits.milliseconds)
        return sendGroup();
    return std::nullopt;
}

// The bytes in a temporary file of the folder.
std::optional<WriteError> GroupCommitWriter::writeTemporary(Pending &file, const QByteArray &bytes)
{
    file.fd = createTemporary(file.name, &file.tempName);
    if (file.fd < 0)
        return error(file.name, errno);
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(file.fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : EIO;
            drop(file);
            return error(file.name, code);
        }
        data += n;
        left -= n;
    }
    return std::nullopt;
}

// A full group is made durable and named on a thread of its own while the
// caller composes and writes the next files, so that the wait for the disk
// does not hold up the run. (Writing the files there as well would leave
// that thread the longer part of the work, and the run would wait for it.)
// One group at a time is on its way: names still come in the order the
// files were added.
std::optional<WriteError> GroupCommitWriter::sendGroup()
{
    if (auto failure = waitForGroupOnItsWay()) {
        discard();
        return failure;
    }
    const QList<Pending> group = std::exchange(m_pending, {});
    try {
        m_onItsWay = std::async(std::launch::async, [this, group] { return finish(group); });
        return std::nullopt;
    } catch (const std::system_error &) {
        // No thread to be had: the group is finished here.
        return finish(group);
    }
}

std::optional<WriteError> GroupCommitWriter::waitForGroupOnItsWay()
{
    return m_onItsWay.valid() ? m_onItsWay.get() : std::nullopt;
}

// The files of a group on disk: returns how many, in order, are known to be.
qsizetype GroupCommitWriter::makeDurable(const QList<Pending> &group,
                                         std::optional<WriteError> *failure) const
{
    if (group.size() > kFewFiles && ::syncfs(m_dirFd) == 0)
        return group.size();
    // A failed syncfs may stem from any file of that file system; the
    // group's own files say whether one of them is affected, and which.
    for (qsizetype i = 0; i < group.size(); ++i) {
        if (::fdatasync(group.at(i).fd) != 0) {
            *failure = error(group.at(i).name, errno);
            return i;
        }
    }
    return group.size();
}

std::optional<WriteError> GroupCommitWriter::commit()
{
    if (auto failure = waitForGroupOnItsWay()) {
        discard();
        return failure;
    }
    if (m_pending.isEmpty())
        return std::nullopt;
    return finish(std::exchange(m_pending, {}));
}

// Makes the group durable, names its files in order and syncs the folder.
// On an error the files after the one that failed are dropped.
std::optional<WriteError> GroupCommitWriter::finish(const QList<Pending> &group)
{
    std::optional<WriteError> failure;
    const qsizetype durable = makeDurable(group, &failure);
    qsizetype named = 0;
    for (; named < durable; ++named) {
        if (auto problem = giveName(group.at(named))) {
            failure = problem;
            break;
        }
        ::close(group.at(named).fd);
    }
    for (qsizetype i = named; i < group.size(); ++i)
        drop(group.at(i));
    // The names themselves on disk.
    if (named > 0 && ::fsync(m_dirFd) != 0 && !failure)
        failure = WriteError{m_folder, errorText(errno)};
    return failure;
}

void GroupCommitWriter::discard()
{
    for (const Pending &file : std::as_const(m_pending))
        drop(file);
    m_pending.clear();
}

void GroupCommitWriter::drop(const Pending &file) const
{
    ::close(file.fd);
    if (!file.tempName.isEmpty())
        ::unlinkat(m_dirFd, file.tempName.constData(), 0);
}

// Gives the unnamed file fd the name in the folder. Linking the descriptor
// itself (AT_EMPTY_PATH) spares the walk through /proc; kernels before 6.10
// allow it only to a process with CAP_DAC_READ_SEARCH.
int GroupCommitWriter::link(int fd, const char *name)
{
    if (m_linkDescriptor) {
        if (::linkat(fd, "", m_dirFd, name, AT_EMPTY_PATH) == 0)
            return 0;
        if (errno != ENOENT && errno != EPERM)
            return -1;
        m_linkDescriptor = false;
    }
    return ::linkat(AT_FDCWD, ProcFdPath(fd).text, m_dirFd, name, AT_SYMLINK_FOLLOW);
}

std::optional<WriteError> GroupCommitWriter::giveName(const Pending &file)
{
    const QByteArray finalName = QFile::encodeName(file.name);
    if (file.tempName.isEmpty()) {
        // A free name: the unnamed file is linked to it in one step.
        if (link(file.fd, finalName.constData()) == 0)
            return std::nullopt;
        if (errno != EEXIST)
            return error(file.name, errno);
    }
    return replace(file, finalName);
}

// Renames the file's hidden name over finalName, which may exist. A file
// that is replaced keeps its permissions; one the user may not write, or a
// folder, is left alone.
std::optional<WriteError> GroupCommitWriter::replace(const Pending &file,
                                                     const QByteArray &finalName)
{
    struct stat existing {};
    if (::fstatat(m_dirFd, finalName.constData(), &existing, 0) == 0) {
        if (S_ISDIR(existing.st_mode))
            return error(file.name, EISDIR);
        if (::faccessat(m_dirFd, finalName.constData(), W_OK, 0) != 0 && errno == EACCES)
            return WriteError{QDir(m_folder).filePath(file.name),
                              QStringLiteral("the existing file is not writable")};
        // A mode that differs is put on disk before the rename, so that a
        // crash cannot show the new file with wider permissions.
        struct stat own {};
        const mode_t wanted = existing.st_mode & 0777;
        if (::fstat(file.fd, &own) == 0 && (own.st_mode & 0777) != wanted &&
            (::fchmod(file.fd, wanted) != 0 || ::fsync(file.fd) != 0))
            return error(file.name, errno);
    }
    QByteArray tempName = file.tempName;
    if (tempName.isEmpty() && !linkToHiddenName(file, &tempName))
        return error(file.name, errno);
    if (::renameat(m_dirFd, tempName.constData(), m_dirFd, finalName.constData()) == 0)
        return std::nullopt;
    const int code = errno;
    // An unnamed file's hidden link goes now; a hidden file's own name
    // goes when the file is dropped.
    if (file.tempName.isEmpty())
        ::unlinkat(m_dirFd, tempName.constData(), 0);
    return error(file.name, code);
}

bool GroupCommitWriter::linkToHiddenName(const Pending &file, QByteArray *tempName)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QByteArray candidate = hiddenName(file.name);
        if (link(file.fd, candidate.constData()) == 0) {
            *tempName = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

} // namespace norvale
