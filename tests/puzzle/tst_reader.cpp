#include "puzzle/cp1252.h"
#include "puzzle/lock.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

using namespace norvale;

namespace {

// A 5 x 5 puzzle with two black squares, every clue a placeholder.
puzwriter::PuzzleSource fiveByFive()
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
puzwriter::PuzzleSource openGrid(int width, int height)
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
QByteArray columnLetters(const puzwriter::PuzzleSource &s)
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
quint16 checksumNoKeyGives(QByteArrayView scrambled)
{
    QSet<quint16> given;
    for (int key = 1000; key <= 9999; ++key)
        given.insert(lock::checksum(lock::unscramble(scrambled, key)));
    quint16 sum = 0;
    while (given.contains(sum))
        ++sum;
    return sum;
}

QByteArray withStoredChecksum(QByteArray file, quint16 sum)
{
    qToLittleEndian<quint16>(sum, file.data() + 0x1E);
    return file;
}

// The tiny puzzle's extra sections; its black squares are cells 2 and 6.
constexpr qsizetype kTinyCells = 9;

QByteArray gext(const QList<qsizetype> &circled, qsizetype size = kTinyCells)
{
    QByteArray marks(size, '\0');
    for (const qsizetype i : circled)
        marks[i] = char(0x80);
    return puzwriter::section("GEXT", marks);
}

QByteArray grbs(const QList<std::pair<qsizetype, int>> &entries, qsizetype size = kTinyCells)
{
    QByteArray grid(size, '\0');
    for (const auto &[cell, value] : entries)
        grid[cell] = char(value);
    return puzwriter::section("GRBS", grid);
}

QByteArray rtbl(QByteArrayView text)
{
    return puzwriter::section("RTBL", text);
}

QList<bool> circlesAt(const QList<qsizetype> &cells)
{
    QList<bool> out(kTinyCells, false);
    for (const qsizetype i : cells)
        out[i] = true;
    return out;
}

QStringList rebusAt(const QList<std::pair<qsizetype, QString>> &cells)
{
    QStringList out(kTinyCells);
    for (const auto &[cell, text] : cells)
        out[cell] = text;
    return out;
}

} // namespace

class TestReader : public QObject {
    Q_OBJECT

private:
    static Puzzle read(const puzwriter::PuzzleSource &source)
    {
        ReadResult r = readPuzzle(puzwriter::write(source), QStringLiteral("x.puz"));
        if (!r.ok())
            qFatal("unexpected refusal: %s", qPrintable(r.error));
        return *r.puzzle;
    }

private Q_SLOTS:
    void workedExample()
    {
        const Puzzle p = read(test::tinySource());
        QCOMPARE(p.width, 3);
        QCOMPARE(p.height, 3);
        QCOMPARE(p.grid(1, 1), 'A');
        QCOMPARE(p.grid(3, 1), '.');
        QCOMPARE(p.grid(3, 3), 'G');
        const QList<qint32> expected = {1, 2, -1, 3, 0, 4, -1, 5, 0};
        QCOMPARE(p.numgridCells, expected);
        QCOMPARE(p.num_a, (QList<qint32>{1, 3, 5}));
        QCOMPARE(p.num_d, (QList<qint32>{1, 2, 4}));
        QCOMPARE(p.clue_a, (QStringList{u"Top row"_qs, u"Middle row"_qs, u"Bottom row"_qs}));
        QCOMPARE(p.clue_d, (QStringList{u"Left"_qs, u"Centre"_qs, u"Right"_qs}));
        QCOMPARE(p.puz_title, u"Tiny"_qs);
        QCOMPARE(p.author, u"Norvale"_qs);
        QCOMPARE(p.copyright, u"Public domain"_qs);
        QCOMPARE(p.CurrentFileName, u"x.puz"_qs);
    }

    // Every grid numbers its words the way .puz files order their clues: a
    // word needs two cells, ":" is black like ".".
    void numbering_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<qint32>>("numgrid");
        QTest::addColumn<QList<qint32>>("across");
        QTest::addColumn<QList<qint32>>("down");
        QTest::newRow("no black squares") << QStringList{u"ABC"_qs, u"DEF"_qs, u"GHI"_qs}
                                          << QList<qint32>{1, 2, 3, 4, 0, 0, 5, 0, 0}
                                          << QList<qint32>{1, 4, 5} << QList<qint32>{1, 2, 3};
        // Letters between black squares are unchecked: no across word.
        QTest::newRow("one-cell runs") << QStringList{u"A.B.C"_qs, u"DEFGH"_qs}
                                       << QList<qint32>{1, -1, 2, -1, 3, 4, 0, 0, 0, 0}
                                       << QList<qint32>{4} << QList<qint32>{1, 2, 3};
        QTest::newRow("colon is black") << QStringList{u"AB:"_qs, u"CDE"_qs, u":FG"_qs}
                                        << QList<qint32>{1, 2, -1, 3, 0, 4, -1, 5, 0}
                                        << QList<qint32>{1, 3, 5} << QList<qint32>{1, 2, 4};
        QTest::newRow("no across words")
            << QStringList{u"A.B"_qs, u"C.D"_qs} << QList<qint32>{1, -1, 2, 0, -1, 0}
            << QList<qint32>{} << QList<qint32>{1, 2};
        QTest::newRow("single cell")
            << QStringList{u"A"_qs} << QList<qint32>{0} << QList<qint32>{} << QList<qint32>{};
    }

    void numbering()
    {
        QFETCH(QStringList, rows);
        QFETCH(QList<qint32>, numgrid);
        QFETCH(QList<qint32>, across);
        QFETCH(QList<qint32>, down);
        puzwriter::PuzzleSource s;
        s.rows = rows;
        for (qsizetype i = 0; i < across.size(); ++i)
            s.across.append(QStringLiteral("a%1").arg(i));
        for (qsizetype i = 0; i < down.size(); ++i)
            s.down.append(QStringLiteral("d%1").arg(i));
        const Puzzle p = read(s);
        QCOMPARE(p.numgridCells, numgrid);
        QCOMPARE(p.num_a, across);
        QCOMPARE(p.num_d, down);
        QCOMPARE(p.clue_a.size(), across.size());
        QCOMPARE(p.clue_d.size(), down.size());
        if (!across.isEmpty())
            QCOMPARE(p.clue_a.first(), u"a0"_qs);
        if (!down.isEmpty())
            QCOMPARE(p.clue_d.last(), QStringLiteral("d%1").arg(down.size() - 1));
    }

    void texts()
    {
        puzwriter::PuzzleSource s = test::tinySource();
        s.title = QStringLiteral("Caf\u00e9 \u20ac \u0153");
        s.author.clear();
        s.notes = QStringLiteral("Notes are read and ignored");
        const Puzzle p = read(s);
        QCOMPARE(p.puz_title.toUtf8(), QByteArray("Caf\xc3\xa9 \xe2\x82\xac \xc5\x93"));
        QCOMPARE(p.author, QString());
        QCOMPARE(p.copyright, u"Public domain"_qs);
        QCOMPARE(p.clue_a.size() + p.clue_d.size(), 6);
    }

    void windows1252()
    {
        QCOMPARE(decodeWindows1252("\xe9"), QStringLiteral("\u00e9"));
        QCOMPARE(decodeWindows1252("\x80\x9f"), QStringLiteral("\u20ac\u0178"));
        // The five undefined bytes keep their value as code points.
        QCOMPARE(decodeWindows1252("\x81\x8d\x8f\x90\x9d"),
                 QStringLiteral("\u0081\u008d\u008f\u0090\u009d"));
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            QCOMPARE(encodeWindows1252(decodeWindows1252(QByteArrayView(&byte, 1))),
                     QByteArray(1, byte));
        }
    }

    // Version 2 files hold UTF-8 texts, unless they are not valid UTF-8.
    void utf8Texts_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("titleBytes");
        QTest::addColumn<QString>("title");
        QTest::newRow("2.0 utf-8") << QByteArray("2.0") << QByteArray("\xc3\xa9t\xc3\xa9")
                                   << QStringLiteral("\u00e9t\u00e9");
        QTest::newRow("2.0 not utf-8")
            << QByteArray("2.0") << QByteArray("\xe9t\xe9") << QStringLiteral("\u00e9t\u00e9");
        QTest::newRow("1.3 is cp1252")
            << QByteArray("1.3") << QByteArray("\xc3\xa9") << QStringLiteral("\u00c3\u00a9");
    }

    void utf8Texts()
    {
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, titleBytes);
        QFETCH(QString, title);
        puzwriter::RawPuzzle raw;
        raw.version = version;
        raw.width = raw.height = 1;
        raw.solution = "A";
        raw.texts = {titleBytes, "", ""};
        const ReadResult r = readPuzzle(puzwriter::writeRaw(raw), u"u.puz"_qs);
        QVERIFY(r.ok());
        QCOMPARE(r.puzzle->puz_title, title);
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray tiny = puzwriter::write(test::tinySource());
        QByteArray wrongSignature = tiny;
        wrongSignature[5] = 'x';
        QTest::newRow("empty") << QByteArray() << u"signature"_qs;
        QTest::newRow("text file")
            << QByteArray("Hello, this is not a puzzle\n") << u"signature"_qs;
        QTest::newRow("signature broken") << wrongSignature << u"signature"_qs;
        QTest::newRow("ends in header") << tiny.left(0x30) << u"header"_qs;
        QTest::newRow("ends in grids") << tiny.left(0x34 + 17) << u"grids"_qs;
        // Only two clue texts for six words.
        QTest::newRow("too few clues")
            << tiny.left(tiny.indexOf("Top row") + 8) << u"clue texts"_qs;
    }

    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const ReadResult r = readPuzzle(bytes, u"bad.puz"_qs);
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
    }

    void emptyGrids()
    {
        puzwriter::RawPuzzle raw;
        raw.width = 0;
        raw.height = 7;
        raw.texts = {"T", "A", "C"};
        const ReadResult r = readPuzzle(puzwriter::writeRaw(raw), u"z.puz"_qs);
        QVERIFY(r.ok());
        QCOMPARE(r.puzzle->width, 0);
        QVERIFY(r.puzzle->numgridCells.isEmpty());
        QVERIFY(r.puzzle->num_a.isEmpty() && r.puzzle->num_d.isEmpty());
        QCOMPARE(r.puzzle->puz_title, u"T"_qs);
    }

    // The published files: the walk must find exactly as many words as the
    // file says it has clues, and the texts must decode as expected.
    void publishedFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("firstAcross");
        QTest::newRow("nyt_jul0719") << u"nyt_jul0719.puz"_qs << 22 << 22 << QString();
        QTest::newRow("rebus") << u"nyt_rebus_with_notes_and_shape.puz"_qs << 15 << 15 << QString();
        QTest::newRow("weekday") << u"nyt_weekday_with_notes.puz"_qs << 15 << 15 << QString();
        QTest::newRow("unicode") << u"unicode.puz"_qs << 3 << 3 << QString();
        QTest::newRow("wsj") << u"wsj110624.puz"_qs << 21 << 21 << QString();
        QTest::newRow("preamble") << u"washpost.puz"_qs << 15 << 15 << QString();
    }

    void publishedFiles()
    {
        QFETCH(QString, file);
        QFETCH(int, width);
        QFETCH(int, height);
        const QByteArray bytes = test::readFile(test::dataDir() + u'/' + file);
        QVERIFY(!bytes.isEmpty());
        const ReadResult r = readPuzzleFile(test::dataDir() + u'/' + file);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const Puzzle &p = *r.puzzle;
        QCOMPARE(p.width, width);
        QCOMPARE(p.height, height);
        QCOMPARE(p.CurrentFileName, file);
        const qsizetype base = bytes.indexOf("ACROSS&DOWN") - 2;
        const int storedClues = qFromLittleEndian<quint16>(bytes.constData() + base + 0x2E);
        QCOMPARE(p.num_a.size() + p.num_d.size(), storedClues);
        QCOMPARE(p.clue_a.size(), p.num_a.size());
        // Clue numbers rise in walk order.
        for (qsizetype i = 1; i < p.num_a.size(); ++i)
            QVERIFY(p.num_a.at(i) > p.num_a.at(i - 1));
        QVERIFY(!p.puz_title.isEmpty());
    }

    void unicodeFixture()
    {
        const ReadResult r = readPuzzleFile(test::dataDir() + u"/unicode.puz"_qs);
        QVERIFY(r.ok());
        // Version 2.0 texts come out as UTF-8, not as mojibake.
        QVERIFY(!r.puzzle->puz_title.contains(QChar(0x00C3)));
        bool nonAscii = false;
        for (const QString &s :
             r.puzzle->clue_a + r.puzzle->clue_d + QStringList{r.puzzle->puz_title})
            for (QChar ch : s)
                nonAscii |= ch.unicode() > 0x7F;
        QVERIFY(nonAscii);
    }

    void notAPuzzleFixture()
    {
        const ReadResult r = readPuzzleFile(test::dataDir() + u"/ONE_bad.puz"_qs);
        QVERIFY(!r.ok());
        QVERIFY(r.error.contains(u"signature"_qs));
    }

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
        QVERIFY(!read(s).isDiagramless());
        s.diagramless = true;
        const Puzzle p = read(s);
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
        const Puzzle plain = read(source);
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
        const Puzzle p = read(s);
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

    void fileAccess_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"missing"_qs << u"does not exist"_qs;
        QTest::newRow("folder") << u"folder"_qs << u"folder"_qs;
        QTest::newRow("pipe") << u"pipe"_qs << u"not a regular file"_qs;
    }

    void fileAccess()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Sunday.puz"_qs);
        if (kind == u"folder")
            QVERIFY(QDir().mkdir(path));
        if (kind == u"pipe")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const ReadResult r = readPuzzleFile(path);
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
