#include "puzzle/cp1252.h"
#include "readertestsupport.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace norvale;
using namespace norvale::test;

// What a .puz file carries beyond the grid and the clues: locked and absent
// solutions, the puzzle type, circles and rebus answers in the extra
// sections, and the notes.
class TestReaderExtras : public QObject {
    Q_OBJECT

private Q_SLOTS:

    // The solution state: a locked solution is unlocked with the key whose
    // letters give the stored checksum; without one, with letters that are
    // not A-Z, with too many white squares to try, or in a file that holds
    // no solution, the letters are unknown and only the black squares count.
    void solutionState_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("plain"); // the same puzzle, unlocked
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("key");

        puzwriter::PuzzleSource five = fiveByFive();
        const QByteArray plain = puzwriter::write(five);
        QTest::newRow("plain") << plain << plain << true << 0;
        five.lockKey = 7562;
        const QByteArray locked = puzwriter::write(five);
        QTest::newRow("locked") << locked << plain << true << 7562;
        const quint16 noFit = checksumNoKeyGives(lock::scramble(columnLetters(five), 7562));
        QTest::newRow("no key fits") << withStoredChecksum(locked, noFit) << plain << false << 0;
        QByteArray notLetters = locked;
        notLetters[0x34] = '1';
        QTest::newRow("not A-Z") << notLetters << plain << false << 0;
        five.lockKey = 0;
        five.noSolution = true;
        QTest::newRow("no solution in the file") << puzwriter::write(five) << plain << false << 0;

        puzwriter::PuzzleSource largest = openGrid(50, 50);
        const QByteArray largestPlain = puzwriter::write(largest);
        largest.lockKey = 4711;
        QTest::newRow("2,500 white squares")
            << puzwriter::write(largest) << largestPlain << true << 4711;
        puzwriter::PuzzleSource tooLarge = openGrid(51, 50);
        const QByteArray tooLargePlain = puzwriter::write(tooLarge);
        tooLarge.lockKey = 4711;
        QTest::newRow("2,550 white squares")
            << puzwriter::write(tooLarge) << tooLargePlain << false << 0;
    }

    void solutionState()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, plain);
        QFETCH(bool, known);
        QFETCH(int, key);
        const ReadResult r = readPuzzle(file, u"l.puz"_qs);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const Puzzle expected = *readPuzzle(plain, u"l.puz"_qs).puzzle;
        const Puzzle &p = *r.puzzle;
        QCOMPARE(p.solutionKnown, known);
        QCOMPARE(p.unlockKey, key);
        if (known)
            QCOMPARE(p.gridBytes, expected.gridBytes);
        for (qsizetype i = 0; i < p.gridBytes.size(); ++i)
            QCOMPARE(Puzzle::isBlackByte(p.gridBytes.at(i)),
                     Puzzle::isBlackByte(expected.gridBytes.at(i)));
        QCOMPARE(p.numgridCells, expected.numgridCells);
        QCOMPARE(p.clue_a, expected.clue_a);
        QCOMPARE(p.clue_d, expected.clue_d);
    }

    void puzzleType()
    {
        puzwriter::PuzzleSource s = test::tinySource();
        QVERIFY(!readBack(s).isDiagramless());
        s.diagramless = true;
        const Puzzle p = readBack(s);
        QVERIFY(p.isDiagramless());
        QCOMPARE(p.puzzleType, Puzzle::kDiagramless);
    }

    // Extra sections after the notes: circles and rebus answers are taken
    // from the ones that are whole and of the right size, in any order;
    // unknown, damaged and wrongly sized ones are passed over, and none of
    // them makes the puzzle unreadable or spoils its texts.
    void sections_data()
    {
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<bool>("notesField"); // the file has a notes field before its sections
        QTest::addColumn<QList<bool>>("circles");
        QTest::addColumn<QStringList>("rebus");

        const QList<bool> noCircles;
        const QStringList noRebus;
        const QList<bool> circles = circlesAt({0, 4});
        const QStringList star = rebusAt({{4, u"STAR"_qs}});
        const QByteArray rebus = grbs({{4, 1}}) + rtbl(" 0:STAR;");

        QTest::newRow("circles") << gext({0, 4}) << true << circles << noRebus;
        QTest::newRow("circled black square") << gext({0, 2}) << true << circlesAt({0}) << noRebus;
        QTest::newRow("only black squares circled") << gext({2, 6}) << true << noCircles << noRebus;
        QTest::newRow("rebus") << rebus << true << noCircles << star;
        QTest::newRow("key without space")
            << grbs({{4, 1}}) + rtbl("0:STAR;") << true << noCircles << star;
        QTest::newRow("two-digit key")
            << grbs({{4, 13}}) + rtbl("12:OCT;") << true << noCircles << rebusAt({{4, u"OCT"_qs}});
        QTest::newRow("no final semicolon")
            << grbs({{4, 1}}) + rtbl(" 0:STAR") << true << noCircles << star;
        QTest::newRow("key with no cell")
            << grbs({{4, 1}}) + rtbl(" 0:STAR; 1:OCT;") << true << noCircles << star;
        QTest::newRow("cell names a missing entry")
            << grbs({{0, 1}, {4, 3}}) + rtbl(" 0:STAR;") << true << noCircles
            << rebusAt({{0, u"STAR"_qs}});
        QTest::newRow("only missing entries")
            << grbs({{4, 3}}) + rtbl(" 0:STAR;") << true << noCircles << noRebus;
        QTest::newRow("rebus on a black square")
            << grbs({{2, 1}, {4, 1}}) + rtbl(" 0:STAR;") << true << noCircles << star;
        QTest::newRow("GEXT first") << gext({0, 4}) + rebus << true << circles << star;
        QTest::newRow("GEXT last") << rebus + gext({0, 4}) << true << circles << star;
        QTest::newRow("RTBL before GRBS")
            << rtbl(" 0:STAR;") + gext({0, 4}) + grbs({{4, 1}}) << true << circles << star;
        QTest::newRow("unknown section first")
            << puzwriter::section("ZZZZ", QByteArrayView("\0\0GEXT\0", 7)) + gext({0, 4}) << true
            << circles << noRebus;
        QTest::newRow("timer first")
            << puzwriter::section("LTIM", "12,0") + gext({0, 4}) << true << circles << noRebus;
        QTest::newRow("GEXT too short")
            << gext({0, 4}, kTinyCells - 1) + rebus << true << noCircles << star;
        QTest::newRow("GEXT too long")
            << gext({0, 4}, kTinyCells + 1) << true << noCircles << noRebus;
        QTest::newRow("GRBS wrong size")
            << grbs({{4, 1}}, kTinyCells - 1) + rtbl(" 0:STAR;") << true << noCircles << noRebus;
        QTest::newRow("length past the end")
            << gext({0, 4}).left(12) << true << noCircles << noRebus;
        QTest::newRow("one byte short") << gext({0, 4}).chopped(2) << true << noCircles << noRebus;
        QTest::newRow("good, then truncated")
            << gext({0, 4}) + rebus.left(20) << true << circles << noRebus;
        QTest::newRow("header cut short")
            << gext({0, 4}) + "GRBS\x09" << true << circles << noRebus;
        QTest::newRow("final zero byte missing")
            << gext({0, 4}).chopped(1) << true << circles << noRebus;
        QTest::newRow("no notes field, circles") << gext({0, 4}) << false << circles << noRebus;
        QTest::newRow("no notes field, rebus") << rebus << false << noCircles << star;
    }

    void sections()
    {
        QFETCH(QByteArray, extra);
        QFETCH(bool, notesField);
        QFETCH(QList<bool>, circles);
        QFETCH(QStringList, rebus);
        puzwriter::PuzzleSource source = test::tinySource();
        puzwriter::RawPuzzle raw;
        raw.width = raw.height = 3;
        raw.solution = "AB.CDE.FG";
        raw.texts = {"Tiny", "Norvale", "Public domain"};
        for (const QString &clue : puzwriter::fileOrderClues(source))
            raw.texts.append(clue.toLatin1());
        if (notesField)
            raw.texts.append("Theme note");
        raw.extra = extra;
        const ReadResult r = readPuzzle(puzwriter::writeRaw(raw), u"s.puz"_qs);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const Puzzle &p = *r.puzzle;
        QCOMPARE(p.circleCells, circles);
        QCOMPARE(p.rebusCells, rebus);
        QCOMPARE(p.notes, notesField ? u"Theme note"_qs : QString());
        const Puzzle plain = readBack(source);
        QCOMPARE(p.gridBytes, plain.gridBytes);
        QCOMPARE(p.clue_a, plain.clue_a);
        QCOMPARE(p.clue_d, plain.clue_d);
    }

    // The writer's own circles, rebus squares and notes read back.
    void writtenExtras()
    {
        puzwriter::PuzzleSource s = fiveByFive();
        s.notes = QStringLiteral("Connect the circled letters.");
        s.circles = {u"O...."_qs, u"....."_qs, u"..O.."_qs, u"....."_qs, u"....O"_qs};
        s.rebus = {{2, 2, u"OMEGA"_qs}, {4, 5, u"LEAD"_qs}, {3, 3, u"EXTRA"_qs}};
        s.lockKey = 2024;
        const Puzzle p = readBack(s);
        QCOMPARE(p.notes, s.notes);
        QVERIFY(p.circled(1, 1) && p.circled(3, 3) && p.circled(5, 5));
        QCOMPARE(p.circleCells.count(true), 3);
        QCOMPARE(p.rebus(2, 2), u"OMEGA"_qs);
        QCOMPARE(p.rebus(5, 4), u"LEAD"_qs);
        QCOMPARE(p.rebus(3, 3), u"EXTRA"_qs);
        QCOMPARE(p.rebusCells.size() - p.rebusCells.count(QString()), 3);
        QCOMPARE(p.unlockKey, 2024);
        QCOMPARE(p.grid(2, 2), 'O');
    }

    // The published files with notes, a locked solution, circles and rebus
    // squares: the positions are those the files' sections hold.
    void publishedExtras()
    {
        const ReadResult weekday =
            readPuzzleFile(test::dataDir() + u"/nyt_weekday_with_notes.puz"_qs);
        QVERIFY2(weekday.ok(), qPrintable(weekday.error));
        const Puzzle &w = *weekday.puzzle;
        QCOMPARE(w.solutionState, Puzzle::kSolutionLocked);
        QVERIFY(w.solutionKnown);
        QCOMPARE(w.unlockKey, 7562);
        QCOMPARE(w.gridBytes.left(15), QByteArray("PASODOBLE..GRUB"));
        QVERIFY2(w.notes.startsWith(u"TEEN PUZZLEMAKER WEEK"_qs), qPrintable(w.notes.left(40)));
        QVERIFY(w.circleCells.isEmpty());
        QVERIFY(w.rebusCells.isEmpty());

        const ReadResult rebus =
            readPuzzleFile(test::dataDir() + u"/nyt_rebus_with_notes_and_shape.puz"_qs);
        QVERIFY2(rebus.ok(), qPrintable(rebus.error));
        const Puzzle &p = *rebus.puzzle;
        QVERIFY(p.solutionKnown);
        QCOMPARE(p.unlockKey, 0);
        QVERIFY(p.notes.startsWith(u"TEEN PUZZLEMAKER WEEK"_qs));
        QList<std::pair<int, int>> circled;
        QList<std::pair<int, int>> starred;
        for (int r = 1; r <= p.height; ++r) {
            for (int c = 1; c <= p.width; ++c) {
                if (p.circled(c, r))
                    circled.append({c, r});
                if (!p.rebus(c, r).isEmpty()) {
                    QCOMPARE(p.rebus(c, r), u"STAR"_qs);
                    QCOMPARE(p.grid(c, r), 'S');
                    starred.append({c, r});
                }
            }
        }
        QCOMPARE(circled, (QList<std::pair<int, int>>{{8, 1}, {3, 4}, {12, 4}, {4, 12}, {13, 12}}));
        QCOMPARE(starred, (QList<std::pair<int, int>>{{8, 2}, {8, 8}, {8, 14}}));
    }
};

QTEST_GUILESS_MAIN(TestReaderExtras)
#include "tst_reader_extras.moc"
