#include "convert/convert.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

class TestConvert : public QObject {
    Q_OBJECT

private:
    static Puzzle tiny()
    {
        ReadResult r = readPuzzle(puzwriter::write(test::tinySource()), u"Sunday.puz"_qs);
        return *r.puzzle;
    }

private Q_SLOTS:
    void crossBowWorkedExample()
    {
        const QByteArray expected = "Tiny\r\n\r\nGrid\r\nWWB\r\nWWW\r\nBWW\r\n\r\nAcross\r\n"
                                    "1 Top row\r\n3 Middle row\r\n5 Bottom row\r\n\r\nDown\r\n"
                                    "1 Left\r\n2 Centre\r\n4 Right\r\n";
        QCOMPARE(expected.size(), 113);
        QCOMPARE(crossBowText(tiny()), expected);
    }

    void solutionWorkedExample()
    {
        const QByteArray expected = "Tiny, Solution\r\n\r\nA  B  -  \r\nC  D  E  \r\n-  F  G  \r\n";
        QCOMPARE(expected.size(), 51);
        QCOMPARE(solutionText(tiny()), expected);
    }

    void edgeCases()
    {
        Puzzle p = tiny();
        p.puz_title.clear();
        p.num_d.clear();
        p.clue_d.clear();
        p.clue_a[0] = QStringLiteral("Caf\u00e9");
        const QByteArray text = crossBowText(p);
        QVERIFY(text.startsWith("\r\n\r\nGrid\r\n"));
        QVERIFY(text.endsWith("\r\n\r\nDown\r\n"));
        QVERIFY(text.contains("1 Caf\xc3\xa9\r\n"));
        QVERIFY(solutionText(p).startsWith(", Solution\r\n\r\n"));
    }

    void writesBothFiles()
    {
        QTemporaryDir dir;
        const Puzzle p = tiny();
        // An older file of the same name is replaced without asking.
        QVERIFY(
            test::writeFile(dir.filePath(u"Sunday.puz.txt"_qs), "old content, longer than new"));
        QVERIFY(!MakeCrossBowPuzzle(p, dir.path(), true));
        QCOMPARE(test::readFile(dir.filePath(u"Sunday.puz.txt"_qs)), crossBowText(p));
        QCOMPARE(test::readFile(dir.filePath(u"Sunday.puz.sol.txt"_qs)), solutionText(p));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    }

    void noSolutionUnlessAsked()
    {
        QTemporaryDir dir;
        Puzzle p = tiny();
        p.CurrentFileName = QStringLiteral("Sunday");
        QVERIFY(!MakeCrossBowPuzzle(p, dir.path(), false));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Sunday.txt"_qs});
    }

    // A rebus square's group is its whole answer and two spaces; the
    // CrossBow grid still has one letter per cell.
    void rebusAnswers()
    {
        const ReadResult r =
            readPuzzleFile(test::dataDir() + u"/nyt_rebus_with_notes_and_shape.puz"_qs);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const QByteArray text = solutionText(*r.puzzle);
        QCOMPARE(text.count("STAR  "), 3);
        const QByteArrayList lines = text.split('\n');
        QCOMPARE(lines.at(3), QByteArray("L  A  R  A  -  N  O  STAR  C  H  -  E  B  O  N  \r"));
        QCOMPARE(lines.at(9), QByteArray("C  O  L  A  -  L  O  STAR  T  S  -  S  A  R  S  \r"));
        QVERIFY(crossBowText(*r.puzzle).contains("\r\nWWWWBWWWWWBWWWW\r\n"));
    }

    // Without known letters the CrossBow file is written as for the plain
    // puzzle, and no solution file is.
    void unknownSolution()
    {
        puzwriter::PuzzleSource source = test::tinySource();
        source.noSolution = true;
        ReadResult r = readPuzzle(puzwriter::write(source), u"Sunday.puz"_qs);
        QVERIFY(r.ok() && !r.puzzle->solutionKnown);
        QTemporaryDir dir;
        QVERIFY(!MakeCrossBowPuzzle(*r.puzzle, dir.path(), true));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"Sunday.puz.txt"_qs});
        QCOMPARE(test::readFile(dir.filePath(u"Sunday.puz.txt"_qs)), crossBowText(tiny()));
    }

    // A destination that cannot take the file: the error names the file and
    // nothing partial is left behind.
    void failureNamesTheFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(u"gone"_qs);
        const auto error = MakeCrossBowPuzzle(tiny(), missing, true);
        QVERIFY(error);
        QVERIFY2(error->message().contains(u"Sunday.puz.txt"_qs), qPrintable(error->message()));
        QVERIFY(!error->reason.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
