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
// CurrentFileName. Besides the grid, the texts and the notes it takes the
// circled squares and rebus answers of the extra sections, and unlocks a
// locked solution (or marks the solution unknown). Checksums are not
// verified, the stored clue count and the player's grid are not looked at,
// and an extra section that is damaged or unknown is passed over.
ReadResult readPuzzle(QByteArrayView bytes, const QString &fileName);

// Reads a puzzle file held in memory whatever its format: the content, not
// the name, chooses the .puz, ipuz or jpz reader (see anyreader.h).
ReadResult readAnyPuzzle(QByteArrayView bytes, const QString &fileName);

// Reads the file at path, in any of the formats; only regular files are
// opened.
ReadResult readPuzzleFile(const QString &path);

// Longest title, author, copyright or clue text accepted; published clues
// are a few hundred bytes at most.
inline constexpr qsizetype kMaxTextFieldBytes = 4096;

// Files larger than this are refused without being read into memory.
inline constexpr qint64 kMaxPuzzleFileSize = 64 * 1024 * 1024;

} // namespace norvale
