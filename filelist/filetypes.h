#pragma once

#include <QFileInfo>
#include <QString>

namespace norvale {

// The file-type table: the three kinds of item the file list accepts.
struct FileType {
    QString name;
    QString typeCode;
    QString creatorCode;
};

namespace FileTypes {

inline const QString kSpecialAny = QStringLiteral("special/any");
inline const QString kSpecialFolder = QStringLiteral("special/folder");
inline const QString kSpecialDisk = QStringLiteral("special/disk");

// Builds the table; called once at start-up. Safe to call again.
void _InitFileTypes();

const FileType &pSpecialAny();
const FileType &pSpecialFolder();
const FileType &pSpecialDisk();

// The type name an item matches: "special/disk" for the root of a file
// system, "special/folder" for other folders, "special/any" for a regular
// file, and empty for anything else (a dangling link, a pipe, a device).
QString Type(const QFileInfo &item);

} // namespace FileTypes
} // namespace norvale
