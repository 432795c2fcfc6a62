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

// The clue columns: the only texts drawn with a wrap width.
QList<RecordingSurface::Op> columnTexts(const RecordingSurface &surface)
{
    QList<RecordingSurface::Op> columns;
    for (const auto &op : textOps(surface)) {
        if (op.wrapWidth > 0)
            columns.append(op);
    }
    return columns;
}

RecordingSurface::Op textOp(const RecordingSurface &surface, const QString &text)
{
    for (const auto &op : textOps(surface)) {
        if (op.text == text)
            return op;
    }
    return {};
}

// The clue list, entry by entry.
QStringList clueList(const Puzzle &p)
{
    QStringList entries{QStringLiteral("Across Clues\n")};
    for (qsizetype i = 0; i < p.clue_a.size(); ++i)
        entries.append(QStringLiteral("%1   %2").arg(p.num_a.at(i)).arg(WrapClue(p.clue_a.at(i), 33)));
    entries << QString() << QString() << QStringLiteral("Down Clues\n");
    for (qsizetype i = 0; i < p.clue_d.size(); ++i)
        entries.append(QStringLiteral("%1   %2").arg(p.num_d.at(i)).arg(WrapClue(p.clue_d.at(i), 33)));
    return entries;
}

// Whether the clue list fits three columns of 425 at that size: less than
// three columns high in all, and no more than three columns when every
// column takes whole entries while they fit.
bool fitsThreeColumns(const QStringList &entries, int size)
{
    RecordingSurface measure(1000, 1000);
    measure.TextSize(size);
    double total = 0;
    double column = 0;
    int columns = 1;
    for (const QString &entry : entries) {
        const double height = measure.StringHeight(entry, 293);
        total += height;
        column += height;
        if (column > 425) {
            ++columns;
            column = height;
        }
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
        const auto clues = columnTexts(page);
        QCOMPARE(clues.size(), 1);
        QCOMPARE(clues.at(0).size, clueSize);
        QCOMPARE(clues.at(0).wrapWidth, columnWidth);
        QCOMPARE(clues.at(0).at, QPoint(50, 575));
        QVERIFY(!clues.at(0).bold);
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
    // starts at x = 50, 353, 656.
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
                                              << QList<int>{38, 38, 1};
        QTest::newRow("entry moves whole") << 72 << (shortClues(34) << clueOfLines(3)) << shortClues(1)
                                           << 11 << QList<int>{36, 8};
        // At 164 units per inch the first size is 25: 17 lines are exactly 425.
        QTest::newRow("column exactly full") << 164 << shortClues(15) << shortClues(10) << 25
                                             << QList<int>{17, 14};
        // 130 lines: 10 x 130 is not below 3 x 425, 9 x 130 is.
        QTest::newRow("smaller size") << 72 << shortClues(62) << shortClues(62) << 9
                                      << QList<int>{47, 47, 36};
        // 87 lines fit three columns at 11 if they flowed freely, but whole
        // entries of 20 lines need four columns there; at 10 they take three.
        QTest::newRow("whole entries need a smaller size")
            << 72 << QStringList(4, clueOfLines(20)) << shortClues(1) << 10 << QList<int>{42, 42, 3};
    }

    void clueColumns()
    {
        QFETCH(int, resolution);
        QFETCH(QStringList, across);
        QFETCH(QStringList, down);
        QFETCH(int, clueSize);
        QFETCH(QList<int>, linesPerColumn);

        const Puzzle puzzle = blankPuzzle(15, 15, across, down);
        const auto columns = columnTexts(printPage(puzzle, resolution));
        QCOMPARE(columns.size(), linesPerColumn.size());
        const QList<int> xs{50, 353, 656};
        QStringList texts;
        for (qsizetype k = 0; k < columns.size(); ++k) {
            const auto &column = columns.at(k);
            QCOMPARE(column.at, QPoint(xs.at(k), 575));
            QCOMPARE(column.wrapWidth, 293);
            QCOMPARE(column.size, clueSize);
            QCOMPARE(int(column.text.count(u'\n')) + 1, linesPerColumn.at(k));
            texts.append(column.text);
        }
        QCOMPARE(texts.join(u'\n'), clueList(puzzle).join(u'\n'));
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
        const auto columns = columnTexts(printPage(puzzle, resolution));
        QVERIFY(columns.size() <= 3);
        const int size = columns.constFirst().size;
        const QStringList entries = clueList(puzzle);
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
        QCOMPARE(columnTexts(page).constFirst().at.y(), clueBaseline);
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
        QCOMPARE(ops.size(), 2 + 8 + 7 + 1);
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
        QVERIFY(ops.constLast().text.startsWith(QStringLiteral("Across Clues\n\n1   Top row\n")));
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
        QCOMPARE(texts, (QStringList{u"tiny.puz"_qs, u"Tiny, Norvale"_qs, u"Across Clues"_qs}));
    }

    // The notes head the clue list: a heading, a line of the notes per
    // entry (broken like a clue), an empty entry, then the clues as ever.
    void notesHeadTheClues()
    {
        Puzzle puzzle = blankPuzzle(15, 15);
        puzzle.notes = u"A theme note.\r\n"_qs + clueOfLines(2) + u"\r\n\r\n"_qs;
        const auto columns = columnTexts(printPage(puzzle));
        QCOMPARE(columns.size(), 1);
        const QString expected = QStringList{u"Notes"_qs, u"A theme note."_qs, WrapClue(clueOfLines(2), 33),
                                             QString()}
                                     .join(u'\n')
                                 + u'\n' + clueList(puzzle).join(u'\n');
        QCOMPARE(columns.at(0).text, expected);
    }

    // The notes are fitted with the clues: long ones make the clues smaller
    // rather than running off the page.
    void longNotesMakeTheCluesSmaller()
    {
        Puzzle puzzle = blankPuzzle(15, 15, shortClues(34), shortClues(37));
        QCOMPARE(columnTexts(printPage(puzzle)).constFirst().size, 11);
        puzzle.notes = QStringList(40, u"A line of the notes."_qs).join(u'\n');
        const auto columns = columnTexts(printPage(puzzle));
        QVERIFY(columns.constFirst().size < 11);
        QVERIFY(columns.size() <= 3);
        QVERIFY(columns.constFirst().text.startsWith(u"Notes\nA line of the notes.\n"_qs));
    }

    void puzzleWithoutCells()
    {
        const RecordingSurface page = printPage(blankPuzzle(0, 0));
        QVERIFY(page.ops(Kind::Line).isEmpty());
        QVERIFY(page.ops(Kind::Fill).isEmpty());
        QCOMPARE(textOp(page, QStringLiteral("Blank, Setter")).kind, Kind::Text);
        QCOMPARE(textOp(page, QStringLiteral("blank.puz")).kind, Kind::Text);
        QCOMPARE(columnTexts(page).size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestPuzzlePage)
#include "tst_print_puzzlepage.moc"
