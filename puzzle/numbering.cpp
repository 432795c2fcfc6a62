#include "numbering.h"

namespace norvale {

QList<Word> numberGrid(Puzzle &p)
{
    p.numgridCells.fill(0, qsizetype(p.width) * p.height);
    QList<Word> words;
    qint32 counter = 1;
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c) {
            if (p.isBlack(c, r)) {
                p.numgridCells[p.index(c, r)] = -1;
                continue;
            }
            const bool across =
                (c == 1 || p.isBlack(c - 1, r)) && c < p.width && !p.isBlack(c + 1, r);
            const bool down =
                (r == 1 || p.isBlack(c, r - 1)) && r < p.height && !p.isBlack(c, r + 1);
            if (across)
                words.append({Direction::Across, counter});
            if (down)
                words.append({Direction::Down, counter});
            if (across || down)
                p.numgridCells[p.index(c, r)] = counter++;
        }
    }
    return words;
}

} // namespace norvale
