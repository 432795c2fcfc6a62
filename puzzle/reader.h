#pragma once

#include "puzzle.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace norvale {

// The outcome of one read: a puzzle, or the reason why the input is not a
// readable puzzle (for messages and the command line).
struct ReadResult {
    std::optional<Puzzle> puzzle;
    QString error;

    bool ok() const { return puzzle.has_value(); }
};

// Reads an Across Lite file held in memory. fileName becomes the record's
// CurrentFileName. Checksums, the stored clue count, the scrambling tag and
// the player's grid are not looked at.
ReadResult readPuzzle(QByteArrayView bytes, const QString &fileName);

// Reads the file at path; only regular files are opened.
ReadResult readPuzzleFile(const QString &path);

// Longest title, author, copyright or clue text accepted; published clues
// are a few hundred bytes at most.
inline constexpr qsizetype kMaxTextFieldBytes = 4096;

// Files larger than this are refused without being read into memory.
inline constexpr qint64 kMaxPuzzleFileSize = 64 * 1024 * 1024;

} // namespace norvale
