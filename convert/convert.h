#pragma once

// Conversion: the CrossBow file and the plain-text solution of a puzzle,
// and the writer that puts a run's outputs on disk whole and durable
// (groupcommitwriter.h). Builds on puzzle/.

#include "convert/groupcommitwriter.h"
#include "puzzle/puzzle.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace norvale {

// The CrossBow text of a puzzle: title, empty line, "Grid" with one line of
// "B"/"W" per row, then "Across" and "Down" with one "NUMBER CLUE" line per
// entry. Every line ends in CR LF; texts are UTF-8 as the record holds them.
QByteArray crossBowText(const Puzzle &puzzle);

// The plain-text solution: "TITLE, Solution", an empty line, then each row
// as three-character groups ("X  ", or "-  " for a black square); a rebus
// square's group is its whole answer and two spaces. Only for a puzzle whose
// solution is known.
QByteArray solutionText(const Puzzle &puzzle);

// Output names: the puzzle file's own name followed by ".txt" or ".sol.txt".
QString crossBowFileName(const Puzzle &puzzle);
QString solutionFileName(const Puzzle &puzzle);

// Writes the CrossBow file and, when withSolution is set and the solution
// is known, the solution file after it, each composed whole and handed to out, which names them when
// its group is committed. Stops at the first file that cannot be written;
// a file added before it stays pending.
std::optional<WriteError> MakeCrossBowPuzzle(const Puzzle &puzzle, GroupCommitWriter &out,
                                             bool withSolution);

// The same for one puzzle into destination, committed at once: the files
// appear complete or not at all, replacing existing files of those names.
std::optional<WriteError> MakeCrossBowPuzzle(const Puzzle &puzzle, const QString &destination,
                                             bool withSolution);

} // namespace norvale
