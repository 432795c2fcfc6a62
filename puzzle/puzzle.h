#pragma once

// Puzzle model and reading: the record of one crossword (puzzle.h) and the
// readers that fill it from .puz, ipuz and jpz files (reader.h). Builds on
// Qt Core only; everything else builds on it.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace norvale {

// One crossword as the main window holds it: the solution grid, the clue
// numbers worked out from the pattern of black squares, the clue lists and
// the three header texts.
//
// Grid cells are addressed (column, row) from 1, as printed clue numbers
// and the layouts count them; the clue lists are ordinary 0-based lists in
// walk order (num_a[i] belongs to clue_a[i]).
struct Puzzle {
    // The solution, one byte per cell as the file stores it, row by row.
    QByteArray gridBytes;
    // Clue number per cell, same order as gridBytes: -1 black, 0 no number.
    QList<qint32> numgridCells;
    int width = 0;
    int height = 0;

    QList<qint32> num_a;
    QStringList clue_a;
    QList<qint32> num_d;
    QStringList clue_d;

    QString puz_title;
    QString author;
    QString copyright;
    QString CurrentFileName;

    // The text field after the last clue: the constructor's note on the
    // theme, printed at the head of the clue list.
    QString notes;

    // Header values: the puzzle type (kDiagramless hides the diagram on the
    // puzzle page) and the solution state (kSolutionLocked: the letters are
    // scrambled with a four-digit key; kSolutionAbsent: none in the file).
    static constexpr quint16 kNormalType = 0x0001;
    static constexpr quint16 kDiagramless = 0x0401;
    static constexpr quint16 kSolutionPlain = 0x0000;
    static constexpr quint16 kSolutionAbsent = 0x0002;
    static constexpr quint16 kSolutionLocked = 0x0004;
    quint16 puzzleType = kNormalType;
    quint16 solutionState = kSolutionPlain;

    // False when the solution letters are not known: a locked solution no
    // key opens, or a file without one. gridBytes then tells black from
    // white squares only, and no letter of it may be shown.
    bool solutionKnown = true;
    // The key that unlocked a locked solution (1000 to 9999), else 0.
    int unlockKey = 0;

    // Circled squares, one flag per cell in gridBytes' order; empty when the
    // puzzle has none.
    QList<bool> circleCells;
    // Rebus answers, one text per cell in gridBytes' order (empty for a
    // plain square); empty when the puzzle has none.
    QStringList rebusCells;

    // The byte of the solution at (c, r), 1-based.
    char grid(int c, int r) const { return gridBytes.at(index(c, r)); }
    qint32 numgrid(int c, int r) const { return numgridCells.at(index(c, r)); }
    // "." is a black square; ":" is treated the same way, as puzzle editors do.
    static bool isBlackByte(char b) { return b == '.' || b == ':'; }
    bool isBlack(int c, int r) const { return isBlackByte(grid(c, r)); }

    bool isDiagramless() const { return puzzleType == kDiagramless; }
    bool circled(int c, int r) const
    {
        return !circleCells.isEmpty() && circleCells.at(index(c, r)) && !isBlack(c, r);
    }
    // The whole answer of a rebus square, or an empty text.
    QString rebus(int c, int r) const
    {
        return rebusCells.isEmpty() ? QString() : rebusCells.at(index(c, r));
    }

    qsizetype index(int c, int r) const
    {
        return qsizetype(r - 1) * width + qsizetype(c - 1);
    }

    friend bool operator==(const Puzzle &, const Puzzle &) = default;
};

} // namespace norvale
