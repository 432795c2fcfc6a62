#pragma once

// What the reader's tests share: small puzzles, and the pieces of locked
// files and extra sections.
#include "puzzle/lock.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QSet>
#include <QtEndian>

namespace norvale::test {

// A 5 x 5 puzzle with two black squares, every clue a placeholder.
inline puzwriter::PuzzleSource fiveByFive()
{
    puzwriter::PuzzleSource s;
    s.title = QStringLiteral("Five");
    s.rows = {u"SLAB."_qs, u"HOMER"_qs, u"ARENA"_qs, u"MEDAL"_qs, u".SEEN"_qs};
    for (int i = 0; i < 10; ++i) {
        s.across.append(QStringLiteral("a%1").arg(i));
        s.down.append(QStringLiteral("d%1").arg(i));
    }
    return s;
}

// A square grid without black squares, random letters.
inline puzwriter::PuzzleSource openGrid(int width, int height)
{
    QRandomGenerator random(quint32(width * height));
    puzwriter::PuzzleSource s;
    for (int r = 0; r < height; ++r) {
        QString row;
        for (int c = 0; c < width; ++c)
            row.append(QChar(u'A' + random.bounded(26)));
        s.rows.append(row);
    }
    for (int i = 0; i < width + height; ++i) {
        s.across.append(QStringLiteral("a%1").arg(i));
        s.down.append(QStringLiteral("d%1").arg(i));
    }
    return s;
}

// The source's white squares column by column, as locked files scramble them.
inline QByteArray columnLetters(const puzwriter::PuzzleSource &s)
{
    QByteArray out;
    for (qsizetype c = 0; c < s.rows.first().size(); ++c) {
        for (const QString &row : s.rows) {
            if (row.at(c) != u'.')
                out += char(row.at(c).unicode());
        }
    }
    return out;
}

// A checksum that none of the 9,000 keys' letters give.
inline quint16 checksumNoKeyGives(QByteArrayView scrambled)
{
    QSet<quint16> given;
    for (int key = 1000; key <= 9999; ++key)
        given.insert(lock::checksum(lock::unscramble(scrambled, key)));
    quint16 sum = 0;
    while (given.contains(sum))
        ++sum;
    return sum;
}

inline QByteArray withStoredChecksum(QByteArray file, quint16 sum)
{
    qToLittleEndian<quint16>(sum, file.data() + 0x1E);
    return file;
}

// The tiny puzzle's extra sections; its black squares are cells 2 and 6.
constexpr qsizetype kTinyCells = 9;

inline QByteArray gext(const QList<qsizetype> &circled, qsizetype size = kTinyCells)
{
    QByteArray marks(size, '\0');
    for (const qsizetype i : circled)
        marks[i] = char(0x80);
    return puzwriter::section("GEXT", marks);
}

inline QByteArray grbs(const QList<std::pair<qsizetype, int>> &entries, qsizetype size = kTinyCells)
{
    QByteArray grid(size, '\0');
    for (const auto &[cell, value] : entries)
        grid[cell] = char(value);
    return puzwriter::section("GRBS", grid);
}

inline QByteArray rtbl(QByteArrayView text)
{
    return puzwriter::section("RTBL", text);
}

inline QList<bool> circlesAt(const QList<qsizetype> &cells)
{
    QList<bool> out(kTinyCells, false);
    for (const qsizetype i : cells)
        out[i] = true;
    return out;
}

inline QStringList rebusAt(const QList<std::pair<qsizetype, QString>> &cells)
{
    QStringList out(kTinyCells);
    for (const auto &[cell, text] : cells)
        out[cell] = text;
    return out;
}

// The source written and read back; a refusal ends the test program.
inline Puzzle readBack(const puzwriter::PuzzleSource &source)
{
    ReadResult r = readPuzzle(puzwriter::write(source), QStringLiteral("x.puz"));
    if (!r.ok())
        qFatal("unexpected refusal: %s", qPrintable(r.error));
    return *r.puzzle;
}

} // namespace norvale::test
