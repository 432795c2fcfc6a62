#pragma once

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

    // The byte of the solution at (c, r), 1-based.
    char grid(int c, int r) const { return gridBytes.at(index(c, r)); }
    qint32 numgrid(int c, int r) const { return numgridCells.at(index(c, r)); }
    // "." is a black square; ":" is treated the same way, as puzzle editors do.
    static bool isBlackByte(char b) { return b == '.' || b == ':'; }
    bool isBlack(int c, int r) const { return isBlackByte(grid(c, r)); }

    qsizetype index(int c, int r) const
    {
        return qsizetype(r - 1) * width + qsizetype(c - 1);
    }

    friend bool operator==(const Puzzle &, const Puzzle &) = default;
};

} // namespace norvale
