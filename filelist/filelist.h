#pragma once

// The file list: its rows, the file-type table and the folder walk that
// turns dropped files and folders into rows. Builds on Qt Core only.

#include <QFileInfo>
#include <QString>

#include <functional>

namespace norvale {

// One row of the file list: the shown name (column 0), the name part
// (column 1) and the folder part (column 2). The file's absolute path is
// column 2 followed by column 1. A file found inside a folder has its name
// in column 1 and the folder's path, ending in "/", in column 2; a file
// added by itself has column 1 empty and its whole path in column 2.
struct FileRow {
    QString shown;
    QString name;
    QString folder;

    QString path() const { return folder + name; }
    friend bool operator==(const FileRow &, const FileRow &) = default;
};

// The heading of the list's first column: "1 File", otherwise "N Files".
QString fileCountHeading(qsizetype rows);

// Where ReadFolderItem delivers what it finds.
class FileListSink {
public:
    virtual ~FileListSink() = default;
    virtual void addRow(const FileRow &row) = 0;
    // Called at the end of every (nested) ReadFolderItem call, so that the
    // count can follow a long walk.
    virtual void updatefilecount() {}
    // Called once per folder entry, so that a long walk can keep a window
    // responsive.
    virtual void yield() {}
    // Tested after each yield: once true, the walk ends where it is (the
    // window that asked for it is closing).
    virtual bool stopped() { return false; }
};

// Adds an item: a single file becomes one row, a folder contributes every
// file found in it, depth first, each folder's entries in name order.
// Names beginning with "." are never added. Entries inside a folder that
// are neither files nor folders (dangling links, pipes) are skipped. A
// folder reached again through a symbolic link to one of its ancestors is
// not walked again, and a folder that cannot be listed contributes nothing.
void ReadFolderItem(const QFileInfo &item, FileListSink &sink);

} // namespace norvale
