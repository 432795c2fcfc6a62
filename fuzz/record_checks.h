#pragma once

// What every reader's result must satisfy, whatever its input: a refusal
// gives a reason; a record's parts agree with each other.
#include "puzzle/reader.h"

#include <cstdlib>

namespace norvale::fuzz {

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

inline void checkIncreasing(const QList<qint32> &numbers)
{
    for (qsizetype i = 1; i < numbers.size(); ++i)
        check(numbers.at(i) > numbers.at(i - 1));
}

inline void checkResult(const ReadResult &r)
{
    if (!r.ok()) {
        check(!r.error.isEmpty());
        return;
    }
    const Puzzle &p = *r.puzzle;
    check(p.num_a.size() == p.clue_a.size());
    check(p.num_d.size() == p.clue_d.size());
    checkIncreasing(p.num_a);
    checkIncreasing(p.num_d);
    check(p.gridBytes.size() == qsizetype(p.width) * p.height);
    check(p.numgridCells.size() == p.gridBytes.size());
    check(p.circleCells.isEmpty() || p.circleCells.size() == p.gridBytes.size());
    check(p.rebusCells.isEmpty() || p.rebusCells.size() == p.gridBytes.size());
    qint32 last = 0;
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c) {
            const qint32 n = p.numgrid(c, r);
            check(p.isBlack(c, r) == (n == -1));
            if (n > 0) {
                check(n == last + 1); // numbers rise by one in reading order
                last = n;
                check(p.num_a.contains(n) || p.num_d.contains(n));
            }
        }
    }
    for (qint32 n : p.num_a + p.num_d)
        check(n >= 1 && n <= last);
}

} // namespace norvale::fuzz
