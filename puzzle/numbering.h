#pragma once

#include "puzzle.h"

#include <QList>

namespace norvale {

enum class Direction { Across, Down };

// One word the numbering walk finds: its direction and its clue number.
struct Word {
    Direction direction;
    qint32 number;
};

// Numbers the grid of p (its width, height and gridBytes) in reading order
// and fills p.numgridCells: -1 for a black square, the clue number for a
// square that starts a word, 0 for any other. A cell starts an across (down)
// word when the edge or a black square is before it and a white square after
// it: a word is at least two cells long. Returns the words in walk order,
// across before down for the same cell, which is the order by clue number.
QList<Word> numberGrid(Puzzle &p);

} // namespace norvale
