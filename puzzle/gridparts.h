#pragma once

#include "reader.h"

#include <QList>
#include <QString>

#include <optional>

namespace norvale {

// What an ipuz or jpz file describes, in the file's own terms, before it
// becomes a puzzle record: each square with its label and answer, and the
// clues with the numbers the file gives them.
struct GridParts {
    int width = 0;
    int height = 0;

    struct Cell {
        bool black = false;
        qint32 label = 0; // the number the file prints in the square, 0 none
        QString solution; // the answer; empty when the file gives none
        bool circled = false;
    };
    QList<Cell> cells; // row by row, width x height

    struct Clue {
        qint32 number = 0;
        QString text;
    };
    QList<Clue> across; // in the file's order
    QList<Clue> down;

    // The list of the direction a file names "Across" or "Down" (in any
    // letter case); nullptr for any other name.
    QList<Clue> *clues(QStringView direction);

    QString title;
    QString author;
    QString copyright;
    QString notes;
};

// Why a file is refused, thrown inside a reader and returned as the
// ReadResult's error by its entry point.
struct Refusal {
    QString reason;
};

// Position of a square in refusals: "x=3, y=2", 1-based as both formats
// count them.
QString squareName(int x, int y);

// A clue number or square label as the file writes it: digits, with white
// space around them; nullopt for anything else.
std::optional<qint32> numberText(QStringView text);

// Builds the record as the .puz reader would for the same puzzle: the grid
// bytes in Windows-1252 ("." for black squares; a rebus square's first
// character, with its whole answer in rebusCells), the numbering walk, the
// clue lists in walk order, circles, texts and the solution state. A file
// whose numbers disagree with the walk is refused: a clue whose number
// names no word of its direction, a word without a clue, two clues of one
// number, or a square labelled otherwise than the walk numbers it. Printed
// against the walk's squares, such clues would be wrong.
//
// The solution is known when every white square has an answer; otherwise
// the record says it is absent, as a .puz file without one does. Texts
// longer than kMaxTextFieldBytes (UTF-8) are refused, notes shortened.
ReadResult assemblePuzzle(const GridParts &parts, const QString &fileName);

} // namespace norvale
