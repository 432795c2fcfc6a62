#pragma once

#include "reader.h"

#include <QByteArrayView>
#include <QString>

namespace norvale {

// Reads a jpz crossword (XML, root crossword-compiler or
// crossword-compiler-applet, with or without namespaces) into the record the
// .puz reader fills for the same puzzle: the rectangular-puzzle's crossword
// grid (cells with x and y from 1, solution, number, type "block" or "void"
// as black squares, background-shape "circle"), the Across and Down clue
// lists told apart by their titles, and the metadata's title, creator
// (author), copyright and description (notes), mark-up removed. Refuses
// acrostics, coded and other puzzle kinds, malformed XML and any XML that
// declares entities or names external ones: nothing outside the file is
// read and no entity is expanded.
ReadResult readJpz(QByteArrayView bytes, const QString &fileName);

// Limits of a ZIP archive that holds a jpz file.
inline constexpr qsizetype kMaxZipEntries = 16;
inline constexpr qint64 kMaxZipEntryBytes = 16 * 1024 * 1024;

// Reads a jpz file inside a ZIP archive: its single entry, or else its
// first entry whose name ends in ".xml" or ".jpz". Archives of more than
// kMaxZipEntries entries and entries larger than kMaxZipEntryBytes (as
// declared, or as they turn out when inflated) are refused.
ReadResult readZippedJpz(QByteArrayView bytes, const QString &fileName);

} // namespace norvale
