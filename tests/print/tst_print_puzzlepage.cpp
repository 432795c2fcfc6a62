#include "print/layout.h"
#include "printtestsupport.h"

#include <QTest>

using namespace norvale;
using namespace norvale::test;
using Kind = RecordingSurface::Kind;

namespace {

RecordingSurface printPage(const Puzzle &puzzle, int resolution = 72, bool gridAtBottom = false,
                           int width = 1000, int height = 1000)
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
QList<DrawnColumn> drawnColumns(const RecordingSurface &surface)
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

QStringList drawnEntries(const QList<DrawnColumn> &columns)
{
    QStringList out;
    for (const auto &column : columns)
        out += column.texts();
    return out;
}

RecordingSurface::Op textOp(const RecordingSurface &surface, const QString &text)
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

QString clueText(qint32 number, const QString &clue)
{
    return QStringLiteral("%1   ").arg(number) + WrapClueLines(clue, 33).join(u'\n');
}

QList<ExpectedEntry> expectedEntries(const Puzzle &p)
{
    QList<ExpectedEntry> entries{{u"Across Clues\n"_qs, true, {}}};
    for (qsizetype i = 0; i < p.clue_a.size(); ++i)
        entries.append({clueText(p.num_a.at(i), p.clue_a.at(i)), false, QStringLiteral("%1   ").arg(p.num_a.at(i))});
    entries << ExpectedEntry{} << ExpectedEntry{} << ExpectedEntry{u"Down Clues\n"_qs, true, {}};
    for (qsizetype i = 0; i < p.clue_d.size(); ++i)
        entries.append({clueText(p.num_d.at(i), p.clue_d.at(i)), false, QStringLiteral("%1   ").arg(p.num_d.at(i))});
    return entries;
}

// The texts the page draws: every entry but the empty separators.
QStringList clueList(const Puzzle &p)
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
bool fitsThreeColumns(const QList<ExpectedEntry> &entries, int size)
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
        const bool glued = entries.at(i).heading && i + 1 < entries.size() && !entries.at(i + 1).text.isEmpty();
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

} // namespace

class TestPuzzlePage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizesByGridWidth_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("numberSize");
        QTest::addColumn<int>("fileNameSize");
        QTest::addColumn<int>("clueSize");
        QTest::addColumn<int>("columnWidth"); // 293, 217, 172: 3, 4, 5 columns on 1000 units

        QTest::newRow("72 dpi, 15 wide") << 72 << 15 << 7 << 4 << 11 << 293;
        QTest::newRow("72 dpi, 16 wide") << 72 << 16 << 5 << 4 << 11 << 217;
        QTest::newRow("72 dpi, 21 wide") << 72 << 21 << 5 << 4 << 11 << 217;
        QTest::newRow("72 dpi, 22 wide") << 72 << 22 << 4 << 4 << 11 << 172;
        QTest::newRow("144 dpi, 15 wide") << 144 << 15 << 14 << 8 << 22 << 293;
        QTest::newRow("144 dpi, 16 wide") << 144 << 16 << 10 << 8 << 22 << 217;
        QTest::newRow("144 dpi, 21 wide") << 144 << 21 << 10 << 8 << 22 << 217;
        QTest::newRow("144 dpi, 22 wide") << 144 << 22 << 8 << 8 << 22 << 172;
    }

    void sizesByGridWidth()
    {
        QFETCH(int, resolution);
        QFETCH(int, columns);
        QFETCH(int, numberSize);
        QFETCH(int, fileNameSize);
        QFETCH(int, clueSize);
        QFETCH(int, columnWidth);

        const RecordingSurface page = printPage(blankPuzzle(columns, 10), resolution);
        QCOMPARE(textOp(page, QStringLiteral("1")).size, numberSize);
        QCOMPARE(textOp(page, QStringLiteral("blank.puz")).size, fileNameSize);
        const auto clueCols = drawnColumns(page);
        QCOMPARE(clueCols.size(), 1);
        QCOMPARE(clueCols.at(0).entries.constFirst().at, QPoint(50, 575));
        for (const auto &entry : clueCols.at(0).entries) {
            QCOMPARE(entry.size, clueSize);
            QCOMPARE(entry.wrapWidth, columnWidth);
            QVERIFY(!entry.bold);
        }
        QCOMPARE(page.TextSize(), clueSize);
    }

    // The title's length counts ", " and the author; an empty author leaves
    // the title ending in ", ".
    void titleSizeByLength_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("titleSize");

        QTest::newRow("72 dpi, 80") << 72 << 80 << 12;
        QTest::newRow("72 dpi, 81") << 72 << 81 << 10;
        QTest::newRow("72 dpi, 96") << 72 << 96 << 10;
        QTest::newRow("72 dpi, 97") << 72 << 97 << 8;
        QTest::newRow("144 dpi, 80") << 144 << 80 << 24;
        QTest::newRow("144 dpi, 81") << 144 << 81 << 20;
        QTest::newRow("144 dpi, 96") << 144 << 96 << 20;
        QTest::newRow("144 dpi, 97") << 144 << 97 << 16;
    }

    void titleSizeByLength()
    {
        QFETCH(int, resolution);
        QFETCH(int, length);
        QFETCH(int, titleSize);

        Puzzle puzzle = blankPuzzle(15, 15);
        puzzle.puz_title = QString(length - 2, u'T');
        puzzle.author.clear();
        const RecordingSurface page = printPage(puzzle, resolution);
        const auto title = textOp(page, puzzle.puz_title + QStringLiteral(", "));
        QCOMPARE(title.kind, Kind::Text);
        QVERIFY(title.bold);
        QCOMPARE(title.size, titleSize);
        // Centred by its width (each character half the size wide here).
        QCOMPARE(title.at, QPoint(whole((1000 - 0.5 * titleSize * length) / 2), 25));
    }

    // Which entries go into which column, at which size. Columns hold whole
    // entries; the page is 1000 x 1000, so a column is 425 units tall and
    // starts at x = 50, 353, 656. The lines counted run from a column's
    // first baseline through its last drawn line: the empty separators at a
    // column's foot are not drawn, and those that would begin one are left
    // out.
    void clueColumns_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<QStringList>("across");
        QTest::addColumn<QStringList>("down");
        QTest::addColumn<int>("clueSize");
        QTest::addColumn<QList<int>>("linesPerColumn");

        QTest::newRow("fits at the first size") << 72 << shortClues(5) << shortClues(5) << 11 << QList<int>{16};
        // 38 lines of 11 fit in 425 units, 39 do not.
        QTest::newRow("last entry overflows") << 72 << shortClues(34) << shortClues(37) << 11
                                              << QList<int>{36, 38, 1};
        QTest::newRow("entry moves whole") << 72 << (shortClues(34) << clueOfLines(3)) << shortClues(1)
                                           << 11 << QList<int>{36, 8};
        // At 164 units per inch the first size is 25: 17 lines are exactly
        // 425, and the second column would begin with the two separators.
        QTest::newRow("column exactly full") << 164 << shortClues(15) << shortClues(10) << 25
                                             << QList<int>{17, 12};
        // 130 lines: 10 x 130 is not below 3 x 425, 9 x 130 is.
        QTest::newRow("smaller size") << 72 << shortClues(62) << shortClues(62) << 9
                                      << QList<int>{47, 47, 36};
        // 87 lines fit three columns at 11 if they flowed freely, but whole
        // entries of 20 lines need four columns there; at 10 they take three.
        QTest::newRow("whole entries need a smaller size")
            << 72 << QStringList(4, clueOfLines(20)) << shortClues(1) << 10 << QList<int>{42, 40, 3};
    }

    void clueColumns()
    {
        QFETCH(int, resolution);
        QFETCH(QStringList, across);
        QFETCH(QStringList, down);
        QFETCH(int, clueSize);
        QFETCH(QList<int>, linesPerColumn);

        const Puzzle puzzle = blankPuzzle(15, 15, across, down);
        const auto columns = drawnColumns(printPage(puzzle, resolution));
        QCOMPARE(columns.size(), linesPerColumn.size());
        const QList<int> xs{50, 353, 656};
        for (qsizetype k = 0; k < columns.size(); ++k) {
            const auto &column = columns.at(k);
            QCOMPARE(column.x, xs.at(k));
            QCOMPARE(column.entries.constFirst().at.y(), 575);
            QCOMPARE(column.entries.constFirst().wrapWidth, 293);
            QCOMPARE(column.size(), clueSize);
            QCOMPARE(column.lines(), linesPerColumn.at(k));
        }
        QCOMPARE(drawnEntries(columns), clueList(puzzle));
    }

    // A heading that would end a column moves to the next one with its
    // first clue. Here the across heading, 32 clues and the two separators
    // take 36 of the 38 lines, so the down heading would fit, its first clue
    // not.
    void headingMovesWithItsFirstClue()
    {
        const Puzzle puzzle = blankPuzzle(15, 15, shortClues(32), shortClues(20));
        const auto columns = drawnColumns(printPage(puzzle));
        QCOMPARE(columns.size(), 2);
        QCOMPARE(columns.at(0).entries.constLast().text, u"32   Clue 32"_qs);
        QCOMPARE(columns.at(1).entries.at(0).text, u"Down Clues\n"_qs);
        QCOMPARE(columns.at(1).entries.at(0).at.y(), 575);
        QCOMPARE(columns.at(1).entries.at(1).text, u"1   Clue 1"_qs);
        QCOMPARE(columns.at(1).entries.at(1).at.y(), 575 + 2 * 11);
    }

    // Every line of a clue after its first starts where the clue's text
    // starts, whether the 33-character rule or the column's width broke it,
    // and stays within the column. A grid 22 wide gives five columns of 172
    // units, 31 characters at size 11, less than one 33-character line.
    void cluesHangUnderTheirText()
    {
        const QString clue = u"Country whose capital is Ouagadougou, in West Africa, "
                             "known for its music festival and its film festival"_qs;
        const Puzzle puzzle = blankPuzzle(22, 10, {clue, u"Short"_qs}, {u"Down"_qs});
        const RecordingSurface page = printPage(puzzle);
        const auto columns = drawnColumns(page);
        const auto &entry = columns.at(0).entries.at(1);
        QCOMPARE(entry.text, clueText(1, clue));
        QCOMPARE(entry.size, 11);
        // "1   " is four characters of 5.5 units.
        QCOMPARE(entry.indent, 22.0);
        const auto lines = RecordingSurface::placedLines(entry);
        QVERIFY(lines.size() > WrapClueLines(clue, 33).size());
        QCOMPARE(lines.at(0).at.x(), 50);
        for (qsizetype k = 1; k < lines.size(); ++k) {
            QCOMPARE(lines.at(k).at.x(), 72);
            QVERIFY(!lines.at(k).text.startsWith(u' '));
            QVERIFY(72 + 5.5 * double(lines.at(k).text.trimmed().size()) <= 50 + 172);
            QCOMPARE(lines.at(k).at.y(), lines.at(0).at.y() + int(k) * 11);
        }
        // The next clue starts below the last line of this one.
        QCOMPARE(columns.at(0).entries.at(2).at.y(), lines.constLast().at.y() + 11);
    }

    // Lists of clues of many lengths, wrapped by the surface at the larger
    // sizes: the size chosen fits, and none of the larger ones tried first
    // would have.
    void largestSizeThatFits_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("clues");
        for (int resolution : {72, 144}) {
            for (int clues : {20, 60, 100, 140, 200, 300, 450}) {
                QTest::addRow("%d dpi, %d clues", resolution, clues) << resolution << clues;
            }
        }
    }

    void largestSizeThatFits()
    {
        QFETCH(int, resolution);
        QFETCH(int, clues);

        const QStringList words = QStringLiteral("a bb ccc dddd eeeee ffffff ggggggg hhhhhhhh iiiiiiiii").split(u' ');
        QStringList across;
        for (int i = 0; i < clues; ++i) {
            QStringList clue;
            for (int w = 0; w < 2 + (i * 7) % 11; ++w)
                clue.append(words.at((i + w * 3) % words.size()));
            across.append(clue.join(u' '));
        }
        const Puzzle puzzle = blankPuzzle(15, 15, across.mid(0, clues / 2), across.mid(clues / 2));
        const auto columns = drawnColumns(printPage(puzzle, resolution));
        QVERIFY(columns.size() <= 3);
        const int size = columns.constFirst().size();
        const auto entries = expectedEntries(puzzle);
        QVERIFY(size == 1 || fitsThreeColumns(entries, size));
        for (int larger = size + 1; larger <= whole(11 * resolution / 72.0); ++larger)
            QVERIFY2(!fitsThreeColumns(entries, larger), qPrintable(QString::number(larger)));
    }

    void gridAtTopOrBottom_data()
    {
        QTest::addColumn<bool>("gridAtBottom");
        QTest::addColumn<int>("gridTop");
        QTest::addColumn<int>("clueBaseline");
        QTest::newRow("grid at top") << false << 50 << 575;
        QTest::newRow("grid at bottom") << true << 475 << 50;
    }

    void gridAtTopOrBottom()
    {
        QFETCH(bool, gridAtBottom);
        QFETCH(int, gridTop);
        QFETCH(int, clueBaseline);

        const RecordingSurface page = printPage(blankPuzzle(15, 15), 72, gridAtBottom);
        QCOMPARE(page.ops(Kind::Line).constFirst().line.y1(), gridTop);
        QCOMPARE(drawnColumns(page).constFirst().entries.constFirst().at.y(), clueBaseline);
        QCOMPARE(textOp(page, QStringLiteral("Blank, Setter")).at.y(), 25);
    }

    // Cell size and left edge: half the height shared by the rows, and a
    // grid much wider than tall is narrowed to the printable width.
    void gridSize_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("left");
        QTest::newRow("15 x 15") << 15 << 15 << 33 << 252;
        QTest::newRow("15 x 20") << 15 << 20 << 25 << 312;
        QTest::newRow("30 x 10, wide") << 30 << 10 << 33 << 5;
        QTest::newRow("60 x 2, very wide") << 60 << 2 << 16 << 20;
    }

    void gridSize()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, cell);
        QFETCH(int, left);

        const RecordingSurface page = printPage(blankPuzzle(columns, rows));
        const auto lines = page.ops(Kind::Line);
        QCOMPARE(lines.size(), rows + 1 + columns + 1);
        QCOMPARE(lines.constFirst().line, QLine(left, 50, left + columns * cell, 50));
        QCOMPARE(lines.constLast().line, QLine(left + columns * cell, 50, left + columns * cell, 50 + rows * cell));
        for (const auto &op : lines) {
            QVERIFY(op.line.x1() >= 0 && op.line.x2() <= 1000);
            QVERIFY(op.line.y2() <= 550);
        }
    }

    // The whole page of the 3 x 3 puzzle in drawing order: file name, title,
    // grid lines, then the cells row by row, then the clues.
    void tinyPuzzlePage()
    {
        const RecordingSurface page = printPage(tinyPuzzle());
        const auto &ops = page.ops();
        QCOMPARE(ops.size(), 2 + 8 + 7 + 8);
        QCOMPARE(ops.at(0).text, QStringLiteral("tiny.puz"));
        QCOMPARE(ops.at(0).at, QPoint(984, 996));
        QCOMPARE(ops.at(0).size, 4);
        QCOMPARE(ops.at(1).text, QStringLiteral("Tiny, Norvale"));
        QCOMPARE(ops.at(1).at, QPoint(461, 25));
        QVERIFY(ops.at(1).bold);
        // h = 166, the grid starts at x = 251, y = 50.
        QCOMPARE(ops.at(2).line, QLine(251, 50, 749, 50));
        QCOMPARE(ops.at(9).line, QLine(749, 50, 749, 548));

        const QStringList cells{QStringLiteral("1@252,57"), QStringLiteral("2@418,57"),
                                QStringLiteral("fill 583,50"), QStringLiteral("3@252,223"),
                                QStringLiteral("4@584,223"), QStringLiteral("fill 251,382"),
                                QStringLiteral("5@418,389")};
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const auto &op = ops.at(10 + i);
            if (op.kind == Kind::Fill) {
                QCOMPARE(op.rect.size(), QSize(166, 166));
                QCOMPARE(QStringLiteral("fill %1,%2").arg(op.rect.x()).arg(op.rect.y()), cells.at(i));
            } else {
                QCOMPARE(op.size, 7);
                QVERIFY(!op.bold);
                QCOMPARE(QStringLiteral("%1@%2,%3").arg(op.text).arg(op.at.x()).arg(op.at.y()), cells.at(i));
            }
        }
        QCOMPARE(ops.at(17).text, u"Across Clues\n"_qs);
        QCOMPARE(ops.at(18).text, u"1   Top row"_qs);
        QCOMPARE(ops.at(18).at, QPoint(50, 575 + 2 * 11));
        for (const auto &op : ops)
            QCOMPARE(op.color, QColor(Qt::black));
    }

    // A circled square's circle sits inside its cell and comes before its
    // number; a circle mark on a black square is ignored.
    void circledSquares()
    {
        Puzzle puzzle = tinyPuzzle();
        puzzle.circleCells = QList<bool>(9);
        puzzle.circleCells[1] = true; // (2, 1), numbered 2
        puzzle.circleCells[2] = true; // (3, 1), a black square
        puzzle.circleCells[4] = true; // (2, 2), no number
        const auto ops = printPage(puzzle).ops();
        QList<QRect> ovals;
        qsizetype firstOval = -1;
        qsizetype numberTwo = -1;
        for (qsizetype i = 0; i < ops.size(); ++i) {
            if (ops.at(i).kind == Kind::Oval) {
                ovals.append(ops.at(i).rect);
                firstOval = firstOval < 0 ? i : firstOval;
            }
            if (ops.at(i).text == u"2"_qs)
                numberTwo = i;
        }
        // h = 166 and the grid starts at (251, 50); the inset is 10.
        QCOMPARE(ovals, (QList<QRect>{QRect(427, 60, 146, 146), QRect(427, 226, 146, 146)}));
        QVERIFY(firstOval >= 0 && firstOval < numberTwo);
    }

    // A diagramless page shows every cell line and nothing in the cells.
    void diagramlessShowsNoDiagram()
    {
        Puzzle puzzle = tinyPuzzle();
        puzzle.puzzleType = Puzzle::kDiagramless;
        puzzle.circleCells = QList<bool>(9, true);
        const RecordingSurface page = printPage(puzzle);
        QCOMPARE(page.ops(Kind::Line).size(), 8);
        QVERIFY(page.ops(Kind::Fill).isEmpty());
        QVERIFY(page.ops(Kind::Oval).isEmpty());
        QStringList texts;
        for (const auto &op : textOps(page))
            texts.append(op.text.section(u'\n', 0, 0));
        QCOMPARE(texts.mid(0, 3), (QStringList{u"tiny.puz"_qs, u"Tiny, Norvale"_qs, u"Across Clues"_qs}));
        QCOMPARE(texts.size(), 2 + 8);
    }

    // The notes head the clue list: a heading, a line of the notes per
    // entry (broken like a clue), an empty entry, then the clues as ever.
    void notesHeadTheClues()
    {
        Puzzle puzzle = blankPuzzle(15, 15);
        puzzle.notes = u"A theme note.\r\n"_qs + clueOfLines(2) + u"\r\n\r\n"_qs;
        const auto columns = drawnColumns(printPage(puzzle));
        QCOMPARE(columns.size(), 1);
        const QStringList notes{u"Notes"_qs, u"A theme note."_qs, WrapClueLines(clueOfLines(2), 33).join(u'\n')};
        QCOMPARE(drawnEntries(columns), notes + clueList(puzzle));
        // Notes lines hang under their first character; the empty entry
        // after them leaves a line before the clues.
        for (qsizetype i = 0; i < 3; ++i)
            QCOMPARE(columns.at(0).entries.at(i).indent, 0.0);
        QCOMPARE(columns.at(0).entries.at(3).at.y(), 575 + 5 * 11);
    }

    // The notes are fitted with the clues: long ones make the clues smaller
    // rather than running off the page.
    void longNotesMakeTheCluesSmaller()
    {
        Puzzle puzzle = blankPuzzle(15, 15, shortClues(34), shortClues(37));
        QCOMPARE(drawnColumns(printPage(puzzle)).constFirst().size(), 11);
        puzzle.notes = QStringList(40, u"A line of the notes."_qs).join(u'\n');
        const auto columns = drawnColumns(printPage(puzzle));
        QVERIFY(columns.constFirst().size() < 11);
        QVERIFY(columns.size() <= 3);
        QCOMPARE(columns.constFirst().entries.at(0).text, u"Notes"_qs);
        QCOMPARE(columns.constFirst().entries.at(1).text, u"A line of the notes."_qs);
    }

    // A title wider than the page is set one unit smaller at a time down to
    // whole(6 e); still too wide, it is cut at a word's end with "…", and
    // the whole title heads the clue list. At 144 units per inch a title of
    // 97 or more characters starts at 16 (8 units a character here) and
    // goes down to 12.
    void titleFitsThePage_data()
    {
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("cut");
        // "Word " repeated, then ", Setter": 5 n + 8 characters.
        QTest::newRow("fits at 16") << 20 << 16 << false;  // 108 characters, 864 wide
        QTest::newRow("one smaller") << 24 << 15 << false; // 128: 1024 at 16, 960 at 15
        QTest::newRow("smaller") << 28 << 13 << false;     // 148: 962 at 13
        QTest::newRow("smallest") << 31 << 12 << false;    // 163: 978 at 12
        QTest::newRow("cut") << 36 << 12 << true;          // 188: 1128 at 12
    }

    void titleFitsThePage()
    {
        QFETCH(int, words);
        QFETCH(int, size);
        QFETCH(bool, cut);

        Puzzle puzzle = blankPuzzle(15, 15);
        puzzle.puz_title = QStringList(words, u"Word"_qs).join(u' ') + u' ';
        const QString whole = puzzle.puz_title + u", Setter"_qs;
        const RecordingSurface page = printPage(puzzle, 144);
        const auto title = textOps(page).at(1);
        QVERIFY(title.bold);
        QCOMPARE(title.size, size);
        QCOMPARE(title.at.y(), 25);
        const double width = 0.5 * size * double(title.text.size());
        QVERIFY(width <= 1000);
        QCOMPARE(title.at.x(), norvale::whole((1000 - width) / 2));
        const QStringList clues = drawnEntries(drawnColumns(page));
        if (!cut) {
            QCOMPARE(title.text, whole);
            QCOMPARE(clues.constFirst(), u"Across Clues\n"_qs);
            return;
        }
        // Cut after a whole word, and the whole title before the clues.
        QVERIFY(title.text.endsWith(u"Word\u2026"_qs));
        QVERIFY(whole.startsWith(title.text.chopped(1)));
        QVERIFY(width > 1000 - 0.5 * size * 6);
        QCOMPARE(clues.at(0), whole);
        QCOMPARE(clues.at(1), u"Across Clues\n"_qs);
    }

    void puzzleWithoutCells()
    {
        const RecordingSurface page = printPage(blankPuzzle(0, 0));
        QVERIFY(page.ops(Kind::Line).isEmpty());
        QVERIFY(page.ops(Kind::Fill).isEmpty());
        QCOMPARE(textOp(page, QStringLiteral("Blank, Setter")).kind, Kind::Text);
        QCOMPARE(textOp(page, QStringLiteral("blank.puz")).kind, Kind::Text);
        QCOMPARE(drawnColumns(page).size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestPuzzlePage)
#include "tst_print_puzzlepage.moc"
