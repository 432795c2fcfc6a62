#pragma once

// What the puzzle page tests share: the page printed on a recording
// surface, its clue columns as drawn, and the clue list a puzzle should give.
#include "print/layout.h"
#include "printtestsupport.h"

#include <QTest>

namespace norvale::test {

using Kind = RecordingSurface::Kind;

inline RecordingSurface printPage(const Puzzle &puzzle, int resolution = 72,
                                  bool gridAtBottom = false, int width = 1000, int height = 1000)
{
    RecordingSurface surface(width, height);
    PrintPuzzle(surface, puzzle, PageSetup{width, height, resolution}, gridAtBottom);
    return surface;
}

// One clue column as drawn: an operation per entry of the clue list, all
// at one left edge.
struct DrawnColumn {
    int x = 0;
    QList<RecordingSurface::Op> entries;

    int size() const { return entries.constFirst().size; }
    // Lines from the column's first baseline through its last drawn line.
    int lines() const
    {
        const int last = RecordingSurface::placedLines(entries.constLast()).constLast().at.y();
        return (last - entries.constFirst().at.y()) / size() + 1;
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &op : entries)
            out.append(op.text);
        return out;
    }
};

// The clue columns: the texts drawn with a wrap width, by left edge.
inline QList<DrawnColumn> drawnColumns(const RecordingSurface &surface)
{
    QList<DrawnColumn> columns;
    for (const auto &op : textOps(surface)) {
        if (op.wrapWidth <= 0)
            continue;
        if (columns.isEmpty() || columns.constLast().x != op.at.x())
            columns.append(DrawnColumn{op.at.x(), {}});
        columns.last().entries.append(op);
    }
    return columns;
}

inline QStringList drawnEntries(const QList<DrawnColumn> &columns)
{
    QStringList out;
    for (const auto &column : columns)
        out += column.texts();
    return out;
}

inline RecordingSurface::Op textOp(const RecordingSurface &surface, const QString &text)
{
    for (const auto &op : textOps(surface)) {
        if (op.text == text)
            return op;
    }
    return {};
}

// An entry of the clue list as the page should hold it: its text, whether
// it is a heading or an empty separator, and the text after which its
// continuation lines hang.
struct ExpectedEntry {
    QString text;
    bool heading = false;
    QString hang;
};

inline QString clueText(qint32 number, const QString &clue)
{
    return QStringLiteral("%1   ").arg(number) + WrapClueLines(clue, 33).join(u'\n');
}

inline QList<ExpectedEntry> expectedEntries(const Puzzle &p)
{
    QList<ExpectedEntry> entries{{u"Across Clues\n"_qs, true, {}}};
    for (qsizetype i = 0; i < p.clue_a.size(); ++i)
        entries.append({clueText(p.num_a.at(i), p.clue_a.at(i)), false,
                        QStringLiteral("%1   ").arg(p.num_a.at(i))});
    entries << ExpectedEntry{} << ExpectedEntry{} << ExpectedEntry{u"Down Clues\n"_qs, true, {}};
    for (qsizetype i = 0; i < p.clue_d.size(); ++i)
        entries.append({clueText(p.num_d.at(i), p.clue_d.at(i)), false,
                        QStringLiteral("%1   ").arg(p.num_d.at(i))});
    return entries;
}

// The texts the page draws: every entry but the empty separators.
inline QStringList clueList(const Puzzle &p)
{
    QStringList out;
    for (const auto &entry : expectedEntries(p)) {
        if (!entry.text.isEmpty())
            out.append(entry.text);
    }
    return out;
}

// Whether the clue list fits three columns of 425 at that size: less than
// three columns high in all, and no more than three columns when every
// column takes whole entries while they fit, a heading going with the entry
// after it and no column starting with an empty separator.
inline bool fitsThreeColumns(const QList<ExpectedEntry> &entries, int size)
{
    RecordingSurface measure(1000, 1000);
    measure.TextSize(size);
    QList<double> heights;
    double total = 0;
    for (const auto &entry : entries) {
        heights.append(measure.StringHeight(entry.text, 293, measure.StringWidth(entry.hang)));
        total += heights.constLast();
    }
    int columns = 1;
    double column = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (column == 0 && entries.at(i).text.isEmpty())
            continue;
        double height = heights.at(i);
        const bool glued =
            entries.at(i).heading && i + 1 < entries.size() && !entries.at(i + 1).text.isEmpty();
        if (glued)
            height += heights.at(i + 1);
        if (column > 0 && column + height > 425) {
            ++columns;
            column = 0;
            if (entries.at(i).text.isEmpty())
                continue;
        }
        column += height;
        if (glued)
            ++i;
    }
    return total < 3 * 425 && columns <= 3;
}

} // namespace norvale::test
