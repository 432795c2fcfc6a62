#include "print/layout.h"
#include "printtestsupport.h"

#include <QTest>

using namespace norvale;
using namespace norvale::test;
using Kind = RecordingSurface::Kind;

namespace {

RecordingSurface printSlot(const Puzzle &puzzle, int slot, int resolution = 72, int width = 1000)
{
    RecordingSurface surface(width, 1000);
    PrintSolutions(surface, puzzle, PageSetup{width, 1000, resolution}, slot);
    return surface;
}

// Every operation as text, to compare whole drawings.
QStringList describe(const RecordingSurface &surface)
{
    QStringList out;
    for (const auto &op : surface.ops()) {
        out.append(QStringLiteral("%1 %2 %3,%4 %5,%6,%7,%8 %9,%10,%11,%12 %13 %14")
                       .arg(int(op.kind))
                       .arg(op.text)
                       .arg(op.at.x())
                       .arg(op.at.y())
                       .arg(op.line.x1())
                       .arg(op.line.y1())
                       .arg(op.line.x2())
                       .arg(op.line.y2())
                       .arg(op.rect.x())
                       .arg(op.rect.y())
                       .arg(op.rect.width())
                       .arg(op.rect.height())
                       .arg(op.size)
                       .arg(op.bold));
    }
    return out;
}

} // namespace

class TestSolutionSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("titleLength");
        QTest::addColumn<int>("letterSize");
        QTest::addColumn<int>("titleSize");

        QTest::newRow("72 dpi, 15 wide, title 80") << 72 << 15 << 80 << 11 << 10;
        QTest::newRow("72 dpi, 16 wide, title 81") << 72 << 16 << 81 << 8 << 8;
        QTest::newRow("72 dpi, 21 wide, title 96") << 72 << 21 << 96 << 8 << 8;
        QTest::newRow("72 dpi, 22 wide, title 97") << 72 << 22 << 97 << 6 << 6;
        QTest::newRow("144 dpi, 15 wide, title 80") << 144 << 15 << 80 << 22 << 20;
        QTest::newRow("144 dpi, 16 wide, title 81") << 144 << 16 << 81 << 16 << 16;
        QTest::newRow("144 dpi, 21 wide, title 96") << 144 << 21 << 96 << 16 << 16;
        QTest::newRow("144 dpi, 22 wide, title 97") << 144 << 22 << 97 << 12 << 12;
    }

    void sizes()
    {
        QFETCH(int, resolution);
        QFETCH(int, columns);
        QFETCH(int, titleLength);
        QFETCH(int, letterSize);
        QFETCH(int, titleSize);

        Puzzle puzzle = blankPuzzle(columns, 3);
        puzzle.puz_title = QString(titleLength, u'T'); // the author is not printed
        // On a page 2000 wide every one of these titles fits its slot.
        const auto texts = textOps(printSlot(puzzle, 1, resolution, 2000));
        QCOMPARE(texts.constFirst().text, puzzle.puz_title);
        QCOMPARE(texts.constFirst().size, titleSize);
        QVERIFY(texts.constFirst().bold);
        QCOMPARE(texts.size(), 1 + 3 * columns);
        for (qsizetype i = 1; i < texts.size(); ++i) {
            QCOMPARE(texts.at(i).text, QStringLiteral("A"));
            QCOMPARE(texts.at(i).size, letterSize);
            QVERIFY(texts.at(i).bold);
        }
    }

    // A 14 x 15 grid on 1000 x 1000: slots 450 x 300, cells of 19, the grid
    // 266 x 285, placed by the slot's origin.
    void slots_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QPoint>("origin");
        QTest::addColumn<QPoint>("gridCorner");

        QTest::newRow("1") << 1 << QPoint(50, 50) << QPoint(142, 53);
        QTest::newRow("2") << 2 << QPoint(500, 50) << QPoint(592, 53);
        QTest::newRow("3") << 3 << QPoint(50, 350) << QPoint(142, 353);
        QTest::newRow("4") << 4 << QPoint(500, 350) << QPoint(592, 353);
        QTest::newRow("5") << 5 << QPoint(50, 650) << QPoint(142, 653);
        QTest::newRow("6") << 6 << QPoint(500, 650) << QPoint(592, 653);
        QTest::newRow("0") << 0 << QPoint(500, 650) << QPoint(592, 653);
        QTest::newRow("7, not a slot") << 7 << QPoint(0, 0) << QPoint(92, 3);
        QTest::newRow("-1, not a slot") << -1 << QPoint(0, 0) << QPoint(92, 3);
    }

    void slots()
    {
        QFETCH(int, slot);
        QFETCH(QPoint, origin);
        QFETCH(QPoint, gridCorner);

        Puzzle puzzle = blankPuzzle(14, 15);
        puzzle.puz_title = QStringLiteral("Fourteen by fifteen"); // 19 characters: 95 wide at 10
        const RecordingSurface sheet = printSlot(puzzle, slot);
        const auto title = textOps(sheet).constFirst();
        QCOMPARE(title.at, QPoint(origin.x() + 177, origin.y()));

        const auto lines = sheet.ops(Kind::Line);
        QCOMPARE(lines.size(), 16 + 15);
        const int x = gridCorner.x();
        const int y = gridCorner.y();
        QCOMPARE(lines.constFirst().line, QLine(x, y, x + 266, y));
        QCOMPARE(lines.at(15).line, QLine(x, y + 285, x + 266, y + 285));
        QCOMPARE(lines.constLast().line, QLine(x + 266, y, x + 266, y + 285));
        // First letter: a quarter of the letter size in, its baseline one
        // letter size below the cell's top.
        QCOMPARE(textOps(sheet).at(1).at, QPoint(x + 2, y + 11));
    }

    void slotZeroIsSlotSix()
    {
        const Puzzle puzzle = tinyPuzzle();
        QCOMPARE(describe(printSlot(puzzle, 0)), describe(printSlot(puzzle, 6)));
    }

    // Black squares are filled; letters are the grid's Windows-1252 bytes.
    void cells()
    {
        Puzzle puzzle = tinyPuzzle();
        puzzle.gridBytes[1] = char(0xC9); // É
        puzzle.gridBytes[5] = ':';        // a black square as some editors write it
        const RecordingSurface sheet = printSlot(puzzle, 1);
        // u = 95, the grid at x = 132, y = 53.
        const auto fills = sheet.ops(Kind::Fill);
        QCOMPARE(fills.size(), 3);
        QCOMPARE(fills.at(0).rect, QRect(322, 53, 95, 95));
        QCOMPARE(fills.at(1).rect, QRect(322, 148, 95, 95));
        QCOMPARE(fills.at(2).rect, QRect(132, 243, 95, 95));
        const auto texts = textOps(sheet);
        QStringList letters;
        for (qsizetype i = 1; i < texts.size(); ++i)
            letters.append(QStringLiteral("%1@%2,%3").arg(texts.at(i).text).arg(texts.at(i).at.x()).arg(texts.at(i).at.y()));
        QCOMPARE(letters, QStringList({QStringLiteral("A@134,64"), QString::fromUtf16(u"É@229,64"),
                                       QStringLiteral("C@134,159"), QStringLiteral("D@229,159"),
                                       QStringLiteral("F@229,254"), QStringLiteral("G@324,254")}));
    }

    // The cell fits the slot both ways: u = whole(min(g / R, 0.95 sw / C)),
    // with g = 285 and sw = 450 on 1000 x 1000.
    void cellSize_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cell");
        QTest::newRow("15 x 15") << 15 << 15 << 19;
        QTest::newRow("15 x 16") << 15 << 16 << 17;
        QTest::newRow("16 x 15") << 16 << 15 << 19;
        QTest::newRow("21 x 15") << 21 << 15 << 19;
        QTest::newRow("25 x 9") << 25 << 9 << 17;
    }

    void cellSize()
    {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, cell);
        const auto lines = printSlot(blankPuzzle(columns, rows), 1).ops(Kind::Line);
        const QLine top = lines.constFirst().line;
        QCOMPARE(top.dx(), columns * cell);
        QCOMPARE(lines.at(rows).line.y1() - top.y1(), rows * cell);
        QCOMPARE(top.x1(), whole(50 + (450 - columns * cell) / 2.0));
    }

    // A title wider than its slot is set smaller, one unit at a time down to
    // whole(6 e), then cut with "…" to the slot's width. At 144 units per
    // inch a title of up to 80 characters starts at 20 (10 units a
    // character here); the slot is 450 wide.
    void titleFitsTheSlot_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("shown");
        QTest::newRow("fits") << 45 << 20 << 45;
        QTest::newRow("one smaller") << 46 << 19 << 46;
        QTest::newRow("smaller") << 60 << 15 << 60;
        QTest::newRow("smallest") << 75 << 12 << 75;
        QTest::newRow("cut") << 76 << 12 << 74;
    }

    void titleFitsTheSlot()
    {
        QFETCH(int, length);
        QFETCH(int, size);
        QFETCH(int, shown);
        Puzzle puzzle = blankPuzzle(15, 15);
        puzzle.puz_title = QString(length, u'T');
        for (int slot : {1, 2}) {
            const auto title = textOps(printSlot(puzzle, slot, 144)).constFirst();
            QCOMPARE(title.size, size);
            const QString expected = shown == length ? puzzle.puz_title : puzzle.puz_title.left(shown) + u"\u2026"_qs;
            QCOMPARE(title.text, expected);
            const double width = 0.5 * size * double(title.text.size());
            const int slotLeft = slot == 1 ? 50 : 500;
            QVERIFY(title.at.x() >= slotLeft && title.at.x() + width <= slotLeft + 450);
        }
    }

    // A grid much wider than tall stays within its slot.
    void wideGridStaysInItsSlot()
    {
        const RecordingSurface sheet = printSlot(blankPuzzle(30, 10), 1);
        const auto lines = sheet.ops(Kind::Line);
        QCOMPARE(lines.constFirst().line, QLine(65, 82, 65 + 30 * 14, 82));
        for (const auto &op : lines) {
            QVERIFY(op.line.x1() >= 50 && op.line.x2() <= 500);
            QVERIFY(op.line.y1() >= 50 && op.line.y2() <= 350);
        }
    }

    // A rebus square holds its whole answer: at the letter size when it fits
    // the cell (95 units, less a quarter of the size on each side), else at
    // the largest size that fits, down to a third of the letter size, and
    // cut to the cell below that.
    void rebusAnswers_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("size");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("fits") << u"STAR"_qs << u"STAR"_qs << 11 << QPoint(134, 64);
        QTest::newRow("smaller") << u"ABCDEFGHIJKLMNOPQRST"_qs << u"ABCDEFGHIJKLMNOPQRST"_qs << 9
                                 << QPoint(134, 103);
        const QString longAnswer = QString(80, u'W');
        QTest::newRow("cut") << longAnswer << longAnswer.left(62) << 3 << QPoint(132, 101);
    }

    void rebusAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        QFETCH(int, size);
        QFETCH(QPoint, at);

        Puzzle puzzle = tinyPuzzle();
        puzzle.rebusCells = QStringList(9);
        puzzle.rebusCells[0] = answer;
        const RecordingSurface sheet = printSlot(puzzle, 1);
        const auto texts = textOps(sheet);
        QCOMPARE(texts.at(1).text, shown);
        QCOMPARE(texts.at(1).size, size);
        QCOMPARE(texts.at(1).at, at);
        // The next square is a plain letter again, at the letter size.
        QCOMPARE(texts.at(2).text, u"B"_qs);
        QCOMPARE(texts.at(2).size, 11);
        QCOMPARE(sheet.TextSize(), 11);
    }

    // Circled squares get their circle before their letter; a circle mark
    // on a black square is ignored.
    void circledSquares()
    {
        Puzzle puzzle = tinyPuzzle();
        puzzle.circleCells = QList<bool>(9);
        puzzle.circleCells[0] = true; // A
        puzzle.circleCells[2] = true; // a black square
        const auto ops = printSlot(puzzle, 1).ops();
        QList<RecordingSurface::Op> ovals;
        qsizetype firstOval = -1;
        qsizetype letterA = -1;
        for (qsizetype i = 0; i < ops.size(); ++i) {
            if (ops.at(i).kind == Kind::Oval) {
                ovals.append(ops.at(i));
                firstOval = firstOval < 0 ? i : firstOval;
            }
            if (ops.at(i).text == u"A"_qs)
                letterA = i;
        }
        QCOMPARE(ovals.size(), 1);
        QCOMPARE(ovals.at(0).rect, QRect(137, 58, 85, 85));
        QVERIFY(firstOval < letterA);
    }

    // Without the solution letters the sheet shows the grid and its black
    // squares, no letter, and "Solution locked" on a white field in the
    // middle of the grid.
    void unknownSolution()
    {
        Puzzle puzzle = tinyPuzzle();
        puzzle.solutionKnown = false;
        const RecordingSurface sheet = printSlot(puzzle, 1);
        const auto texts = textOps(sheet);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.at(0).text, u"Tiny"_qs);
        QCOMPARE(texts.at(1).text, u"Solution locked"_qs);
        QCOMPARE(texts.at(1).color, QColor(Qt::black));
        // The grid is 285 units square from (132, 53); the notice is 82.5 wide.
        QCOMPARE(texts.at(1).at, QPoint(233, 199));
        QList<QRect> black;
        QList<QRect> white;
        for (const auto &fill : sheet.ops(Kind::Fill))
            (fill.color == QColor(Qt::white) ? white : black).append(fill.rect);
        QCOMPARE(black, (QList<QRect>{QRect(322, 53, 95, 95), QRect(132, 243, 95, 95)}));
        QCOMPARE(white.size(), 1);
        QVERIFY(white.at(0).contains(QRect(233, 188, 82, 11)));
        QCOMPARE(sheet.ops(Kind::Line).size(), 8);
    }

    void puzzleWithoutCellsPrintsItsTitle()
    {
        const RecordingSurface sheet = printSlot(blankPuzzle(0, 0), 2);
        QCOMPARE(sheet.ops().size(), 1);
        QCOMPARE(sheet.ops().constFirst().text, QStringLiteral("Blank"));
    }
};

QTEST_APPLESS_MAIN(TestSolutionSheet)
#include "tst_print_solutionsheet.moc"
