#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <future>
#include <optional>

namespace norvale {

// A file that could not be written, and why.
struct WriteError {
    QString path;
    QString reason;

    QString message() const;
};

// When a group of files is committed: once it holds this many files, or
// this long after its first file was added.
struct GroupLimits {
    int files = 64;
    int milliseconds = 100;
};

// Writes the output files of a run into one folder and makes them durable
// in groups, so that a run of thousands of files costs a few syncs, not one
// per file.
//
// Each file is written as an unnamed temporary file in the folder
// (O_TMPFILE; where the file system refuses it, under a hidden temporary
// name ".NAME.XXXXXX" in the same folder). When a group is full (a number
// of files, or a span of time since its first file) or commit() is called,
// the group is made durable with one syncfs() (fdatasync of each file for a
// group of very few), then every file gets its name in the order it was
// added, and the folder is synced once. A name thus appears only for a file
// that is complete and on disk.
//
// A full group is finished on a thread of its own while the caller writes
// the next one; one group at a time is on its way, and the next full group,
// or commit(), waits for it.
//
// A file that replaces an existing one of the same name is linked to a
// hidden temporary name and renamed over it, so the replacement is atomic;
// it keeps the permissions of the file it replaces, and an existing file the
// user may not write is not replaced. New files get the permissions of any
// new file (0666 less the umask). What was added but not committed is
// dropped by discard() and by the destructor: no temporary file stays
// behind under any name.
class GroupCommitWriter {
public:
    enum class Temporaries {
        Unnamed, // O_TMPFILE where the file system has it
        Hidden,  // always hidden temporary names (as on file systems without O_TMPFILE)
    };

    explicit GroupCommitWriter(const QString &folder, GroupLimits limits = {},
                               Temporaries temporaries = Temporaries::Unnamed);
    ~GroupCommitWriter();
    GroupCommitWriter(const GroupCommitWriter &) = delete;
    GroupCommitWriter &operator=(const GroupCommitWriter &) = delete;

    // Writes bytes as the file that will be called name in the folder, and
    // sends the group off when it is full. Returns an error when this file
    // cannot be written (it is gone; the files added before it are still
    // pending), or when a group sent off earlier failed (no file after the
    // one that failed gets its name, and nothing is pending any more).
    std::optional<WriteError> add(const QString &name, const QByteArray &bytes);

    // Waits for the group on its way, then makes the pending files durable
    // and names them, in the order they were added. On an error the files
    // before the one that failed have their names, the others are dropped.
    std::optional<WriteError> commit();

    // Drops the pending files; a group on its way is finished.
    void discard();

    // Files waiting for the next commit.
    qsizetype pending() const { return m_pending.size(); }

private:
    struct Pending {
        QString name;
        QByteArray tempName; // empty for an unnamed temporary file
        int fd = -1;
    };

    std::optional<WriteError> openFolder(const QString &name);
    int createTemporary(const QString &name, QByteArray *tempName);
    std::optional<WriteError> sendGroup();
    std::optional<WriteError> waitForGroupOnItsWay();
    std::optional<WriteError> finish(const QList<Pending> &group);
    std::optional<WriteError> writeTemporary(Pending &file, const QByteArray &bytes);
    qsizetype makeDurable(const QList<Pending> &group, std::optional<WriteError> *failure) const;
    std::optional<WriteError> giveName(const Pending &file);
    std::optional<WriteError> replace(const Pending &file, const QByteArray &finalName);
    bool linkToHiddenName(const Pending &file, QByteArray *tempName);
    int link(int fd, const char *name);
    void drop(const Pending &file) const;
    WriteError error(const QString &name, int code) const;

    QString m_folder;
    GroupLimits m_limits;
    bool m_unnamed;
    bool m_linkDescriptor = true;
    int m_dirFd = -1;
    QList<Pending> m_pending;
    QElapsedTimer m_groupStarted;
    // The group being made durable and named on another thread, if any.
    std::future<std::optional<WriteError>> m_onItsWay;
};

} // namespace norvale
