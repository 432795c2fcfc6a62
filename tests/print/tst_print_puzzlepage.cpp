#include "puzzlepagesupport.h"

using namespace norvale;
using namespace norvale::test;

// The puzzle page: sizes, title, grid, cells.
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
