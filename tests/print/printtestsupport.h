#pragma once

#include "print/recordingsurface.h"
#include "puzzle/puzzle.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace norvale::test {

// A cols x rows puzzle of white cells holding "A", numbered 1 in the top
// left cell, with the given clues (numbered 1, 2, ...).
inline Puzzle blankPuzzle(int cols, int rows, const QStringList &across = {QStringLiteral("Across")},
                          const QStringList &down = {QStringLiteral("Down")})
{
    Puzzle p;
    p.width = cols;
    p.height = rows;
    p.gridBytes = QByteArray(qsizetype(cols) * rows, 'A');
    p.numgridCells = QList<qint32>(qsizetype(cols) * rows, 0);
    if (cols > 0 && rows > 0)
        p.numgridCells[0] = 1;
    p.clue_a = across;
    p.clue_d = down;
    for (qsizetype i = 0; i < across.size(); ++i)
        p.num_a.append(qint32(i + 1));
    for (qsizetype i = 0; i < down.size(); ++i)
        p.num_d.append(qint32(i + 1));
    p.puz_title = QStringLiteral("Blank");
    p.author = QStringLiteral("Setter");
    p.CurrentFileName = QStringLiteral("blank.puz");
    return p;
}

// The 3 x 3 puzzle of the worked examples, written and read back.
inline Puzzle tinyPuzzle()
{
    return *readPuzzle(puzwriter::write(tinySource()), QStringLiteral("tiny.puz")).puzzle;
}

// count clues "Clue 1", "Clue 2", ... of one line each.
inline QStringList shortClues(int count)
{
    QStringList clues;
    for (int i = 1; i <= count; ++i)
        clues.append(QStringLiteral("Clue %1").arg(i));
    return clues;
}

// A clue that WrapClue breaks into exactly `lines` lines (two ten-letter
// words a line).
inline QString clueOfLines(int lines)
{
    return QStringList(2 * lines, QStringLiteral("abcdefghij")).join(u' ');
}

inline QList<RecordingSurface::Op> textOps(const RecordingSurface &surface)
{
    return surface.ops(RecordingSurface::Kind::Text);
}

} // namespace norvale::test
