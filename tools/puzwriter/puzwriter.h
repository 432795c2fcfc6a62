#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace norvale::puzwriter {

// What a puzzle file is made from. Rows hold the solution, "." for black
// squares; the clue lists are in number order and are interleaved into the
// file's order (by number, across before down) by the writer.
struct PuzzleSource {
    QString title;
    QString author;
    QString copyright;
    QString notes;
    QStringList rows;
    QStringList across;
    QStringList down;
    // "1.3" texts are Windows-1252; "2.0" texts are UTF-8.
    QByteArray version = "1.3";

    // Circled squares: rows like the grid's, "O" marks a circled square.
    QStringList circles;
    // Rebus squares (1-based row and column) with their whole answers; the
    // grid holds their first letters.
    struct Rebus {
        int row = 0;
        int column = 0;
        QString text;
    };
    QList<Rebus> rebus;
    // 1000 to 9999: the solution is stored locked with this key.
    int lockKey = 0;
    bool diagramless = false;
    // The file says it holds no solution.
    bool noSolution = false;
};

// The raw pieces of a file, for fixtures that a well-formed source cannot
// describe (clue texts in any order or number, odd grids).
struct RawPuzzle {
    quint8 width = 0;
    quint8 height = 0;
    QByteArray solution;   // width x height bytes
    QByteArrayList texts;  // every text field in file order, already encoded
    QByteArray version = "1.3";
    quint16 puzzleType = 0x0001;
    quint16 solutionState = 0x0000;
    quint16 scrambledChecksum = 0;
    QByteArray extra; // appended after the texts: the extra sections
};

// One extra section: name, length, checksum, data and its zero byte.
QByteArray section(QByteArrayView name, QByteArrayView data);

// A complete .puz file with correct checksums.
QByteArray write(const PuzzleSource &source);
QByteArray writeRaw(const RawPuzzle &raw);

// Clue texts of the source in file order: by number, across before down.
QStringList fileOrderClues(const PuzzleSource &source, QString *error = nullptr);

// Parses the small text format of the samples:
//   Title: ...      Author: ...      Copyright: ...      Notes: ...
//   Version: 1.3
//   Lock: 7562        the solution is stored scrambled with this key
//   Type: diagramless
//   Solution: none    the file says it holds no solution
//   Grid:      then one line per row
//   Circles:   then one line per row, "O" for a circled square
//   Rebus:     then "ROW COLUMN TEXT" per rebus square (1-based)
//   Across:    then one clue per line, in number order
//   Down:      then one clue per line
bool parseSource(const QString &text, PuzzleSource *out, QString *error);

} // namespace norvale::puzwriter
