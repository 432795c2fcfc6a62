#include "puzzlepagesupport.h"

using namespace norvale;
using namespace norvale::test;

// The clue list on the puzzle page: fitting, packing into columns, hanging
// lines, headings and notes.
class TestClueColumns : public QObject {
    Q_OBJECT

private Q_SLOTS:

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
};

QTEST_APPLESS_MAIN(TestClueColumns)
#include "tst_print_cluecolumns.moc"
