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

    // Circles and rebus answers only on white squares.
    const qsizetype cells = p.gridBytes.size();
    for (qsizetype i = 0; i < cells; ++i) {
        const bool black = Puzzle::isBlackByte(p.gridBytes.at(i));
        check(p.circleCells.isEmpty() || !black || !p.circleCells.at(i));
        check(p.rebusCells.isEmpty() || !black || p.rebusCells.at(i).isEmpty());
    }
    // Notes longer than a text field are cut, with an ellipsis.
    check(p.notes.size() <= kMaxTextFieldBytes + 1);

    // A file without a solution is never known; a locked one is either
    // opened to letters A-Z with a four-digit key, or unknown.
    if (p.solutionState == Puzzle::kSolutionAbsent)
        check(!p.solutionKnown);
    if (p.solutionState != Puzzle::kSolutionLocked || !p.solutionKnown) {
        check(p.unlockKey == 0);
    } else {
        check(p.unlockKey >= 1000 && p.unlockKey <= 9999);
        for (const char b : p.gridBytes)
            check(Puzzle::isBlackByte(b) || (b >= 'A' && b <= 'Z'));
    }
}

} // namespace norvale::fuzz
