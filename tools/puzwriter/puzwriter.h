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
};

// The raw pieces of a file, for fixtures that a well-formed source cannot
// describe (clue texts in any order or number, odd grids).
struct RawPuzzle {
    quint8 width = 0;
    quint8 height = 0;
    QByteArray solution;   // width x height bytes
    QByteArrayList texts;  // every text field in file order, already encoded
    QByteArray version = "1.3";
};

// A complete .puz file with correct checksums.
QByteArray write(const PuzzleSource &source);
QByteArray writeRaw(const RawPuzzle &raw);

// Clue texts of the source in file order: by number, across before down.
QStringList fileOrderClues(const PuzzleSource &source, QString *error = nullptr);

// Parses the small text format of the samples:
//   Title: ...      Author: ...      Copyright: ...      Notes: ...
//   Version: 1.3
//   Grid:      then one line per row
//   Across:    then one clue per line, in number order
//   Down:      then one clue per line
bool parseSource(const QString &text, PuzzleSource *out, QString *error);

} // namespace norvale::puzwriter
