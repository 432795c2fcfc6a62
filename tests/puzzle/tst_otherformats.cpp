// The ipuz and jpz readers: each fixture in tests/data gives the record and
// the CrossBow bytes that a .puz of the same puzzle gives; bad input is
// refused with a reason; the content, not the name, chooses the reader.
#include "convert/convert.h"
#include "puzzle/anyreader.h"
#include "puzzle/jpzreader.h"
#include "puzzle/plaintext.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

#include <zip.h>

using namespace norvale;

Q_DECLARE_METATYPE(norvale::puzwriter::PuzzleSource)

namespace {

// The archive libzip writes for the entries, in their order.
QByteArray makeZip(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(u"a.zip"_qs));
    int error = 0;
    zip_t *archive = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        qFatal("zip_open failed: %d", error);
    for (const auto &[name, data] : entries) {
        zip_source_t *source =
            zip_source_buffer(archive, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(archive, name.constData(), source, ZIP_FL_OVERWRITE) < 0)
            qFatal("zip_file_add failed: %s", zip_strerror(archive));
    }
    if (zip_close(archive) != 0)
        qFatal("zip_close failed");
    return test::readFile(dir.filePath(u"a.zip"_qs));
}

// Overwrites the uncompressed size that the local and the central header
// of the only entry declare.
QByteArray withDeclaredSize(QByteArray zip, quint32 size)
{
    const auto put = [&](qsizetype at) {
        for (int b = 0; b < 4; ++b)
            zip[at + b] = char((size >> (8 * b)) & 0xFF);
    };
    put(zip.indexOf("PK\x03\x04") + 22);
    put(zip.indexOf("PK\x01\x02") + 24);
    return zip;
}

puzwriter::PuzzleSource plainSource()
{
    puzwriter::PuzzleSource s = test::tinySource();
    s.notes = u"Notes are kept"_qs;
    return s;
}

puzwriter::PuzzleSource circlesRebusSource()
{
    puzwriter::PuzzleSource s;
    s.title = u"Ships & Stars"_qs;
    s.author = u"Zo\u00eb"_qs;
    s.copyright = u"\u00a9 2024 Norvale"_qs;
    s.rows = {u"SHIP"_qs, u"T.AR"_qs, u"ONES"_qs};
    s.circles = {u"O..."_qs, u"...."_qs, u"...O"_qs};
    s.rebus = {{3, 2, u"NEW"_qs}};
    s.across = {u"Boat"_qs, u"Fish & chips, in short"_qs,
                u"Caf\u00e9 \u2014 \u2018quoted\u2019"_qs};
    s.down = {u"Stop, with line break"_qs, u"a < b"_qs, QString()};
    return s;
}

puzwriter::PuzzleSource noSolutionSource()
{
    puzwriter::PuzzleSource s = test::tinySource();
    s.title = u"Unsolved"_qs;
    s.copyright.clear();
    s.rows = {u"XX."_qs, u"XXX"_qs, u".XX"_qs};
    s.noSolution = true;
    return s;
}

// A fixture of tests/data with one piece of its text replaced.
QByteArray edited(const QString &fixture, const QByteArray &replace, const QByteArray &with)
{
    QByteArray text = test::readFile(test::dataDir() + u'/' + fixture);
    if (!text.contains(replace))
        qFatal("no %s in %s", replace.constData(), qPrintable(fixture));
    return text.replace(replace, with);
}

// The tiny puzzle as ipuz and as jpz, edited.
QByteArray ipuz(const QByteArray &replace, const QByteArray &with)
{
    return edited(u"plain.ipuz"_qs, replace, with);
}
QByteArray jpz(const QByteArray &replace, const QByteArray &with)
{
    return edited(u"plain.jpz"_qs, replace, with);
}

} // namespace

class TestOtherFormats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameAsPuz_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<bool>("zipped");
        QTest::addColumn<puzwriter::PuzzleSource>("source");
        QTest::newRow("plain ipuz") << u"plain.ipuz"_qs << false << plainSource();
        QTest::newRow("circles and rebus ipuz")
            << u"circles-rebus.ipuz"_qs << false << circlesRebusSource();
        QTest::newRow("no solution ipuz") << u"no-solution.ipuz"_qs << false << noSolutionSource();
        QTest::newRow("plain jpz") << u"plain.jpz"_qs << false << plainSource();
        QTest::newRow("circles and rebus jpz")
            << u"circles-rebus.jpz"_qs << false << circlesRebusSource();
        QTest::newRow("no solution jpz") << u"no-solution.jpz"_qs << false << noSolutionSource();
        QTest::newRow("zipped jpz") << u"circles-rebus.jpz"_qs << true << circlesRebusSource();
    }

    void sameAsPuz()
    {
        QFETCH(QString, fixture);
        QFETCH(bool, zipped);
        QFETCH(puzwriter::PuzzleSource, source);
        QByteArray bytes = test::readFile(test::dataDir() + u'/' + fixture);
        QVERIFY(!bytes.isEmpty());
        // Beside another entry, the puzzle is found by its name.
        if (zipped)
            bytes = makeZip({{"readme.txt", "Not the puzzle"}, {"puzzle.jpz", bytes}});
        const ReadResult read = readAnyPuzzle(bytes, fixture);
        QVERIFY2(read.ok(), qPrintable(read.error));
        const ReadResult expected = readPuzzle(puzwriter::write(source), fixture);
        QVERIFY2(expected.ok(), qPrintable(expected.error));
        const Puzzle &p = *read.puzzle;
        const Puzzle &e = *expected.puzzle;
        QCOMPARE(p.puz_title, e.puz_title);
        QCOMPARE(p.author, e.author);
        QCOMPARE(p.copyright, e.copyright);
        QCOMPARE(p.notes, e.notes);
        QCOMPARE(p.gridBytes, e.gridBytes);
        QCOMPARE(p.numgridCells, e.numgridCells);
        QCOMPARE(p.num_a, e.num_a);
        QCOMPARE(p.clue_a, e.clue_a);
        QCOMPARE(p.num_d, e.num_d);
        QCOMPARE(p.clue_d, e.clue_d);
        QCOMPARE(p.circleCells, e.circleCells);
        QCOMPARE(p.rebusCells, e.rebusCells);
        QCOMPARE(p.solutionKnown, e.solutionKnown);
        QVERIFY(p == e);
        QCOMPARE(crossBowText(p), crossBowText(e));
        if (e.solutionKnown)
            QCOMPARE(solutionText(p), solutionText(e));
    }

    void refusals_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QString data = test::dataDir();
        QTest::newRow("malformed JSON")
            << test::readFile(data + u"/malformed.ipuz"_qs) << u"malformed JSON at offset"_qs;
        QTest::newRow("malformed XML")
            << test::readFile(data + u"/malformed.jpz"_qs) << u"malformed XML at line"_qs;
        QTest::newRow("ipuz row too short")
            << ipuz("[3, 0, 4]", "[3, 0]")
            << u"the grid is 3 x 3 but row 2 of the puzzle has 2 cells"_qs;
        QTest::newRow("ipuz rows missing")
            << ipuz(", [\"#\", 5, 0]],", "],") << u"the puzzle has 2 rows"_qs;
        QTest::newRow("ipuz solution size")
            << ipuz(", [\"#\", \"F\", \"G\"]]", "]") << u"the solution has 2 rows"_qs;
        QTest::newRow("ipuz too wide")
            << ipuz("\"width\": 3", "\"width\": 256") << u"not 1 to 255"_qs;
        QTest::newRow("ipuz clue number") << ipuz("[3, \"Middle row\"]", "[\"1a\", \"Middle row\"]")
                                          << u"clue number \"1a\" is not a number"_qs;
        QTest::newRow("ipuz label") << ipuz("[3, 0, 4]", "[\"3b\", 0, 4]")
                                    << u"the label \"3b\" at x=1, y=2 is not a number"_qs;
        QTest::newRow("ipuz sudoku")
            << ipuz("http://ipuz.org/crossword#1", "http://ipuz.org/sudoku#1")
            << u"ipuz kind http://ipuz.org/sudoku#1 is not a crossword"_qs;
        QTest::newRow("ipuz without kind") << QByteArray("{\"kind\": 5}") << u"no kind"_qs;
        // The file's numbers and the grid's numbering must agree.
        QTest::newRow("word without clue")
            << ipuz("[5, \"Bottom row\"]", "[7, \"Bottom row\"]") << u"5 Across has no clue"_qs;
        QTest::newRow("clue names no word")
            << ipuz("[5, \"Bottom row\"]", "[5, \"Bottom row\"], [6, \"Nowhere\"]")
            << u"the Across clue numbered 6 names no word"_qs;
        QTest::newRow("clue twice") << ipuz("[3, \"Middle row\"]", "[1, \"Middle row\"]")
                                    << u"two Across clues are numbered 1"_qs;
        QTest::newRow("label off the walk")
            << ipuz("[3, 0, 4]", "[3, 7, 4]")
            << u"the square at x=2, y=2 is numbered 7, but starts no word"_qs;
        QTest::newRow("white in puzzle, black in solution")
            << ipuz("[\"C\", \"D\", \"E\"]", "[\"C\", \"#\", \"E\"]")
            << u"the solution has a black square at x=2, y=2 where the puzzle has a white square"_qs;
        QTest::newRow("answer reads black")
            << ipuz("[\"C\", \"D\", \"E\"]", "[\"C\", \".\", \"E\"]")
            << u"reads as a black square"_qs;
        QTest::newRow("clue too long")
            << ipuz("\"Top row\"", '"' + QByteArray(kMaxTextFieldBytes + 1, 'x') + '"')
            << u"the clue of 1 Across is longer than"_qs;

        QTest::newRow("jpz cell outside") << jpz("<cell x=\"3\" y=\"3\" solution=\"G\"/>",
                                                 "<cell x=\"16\" y=\"3\" solution=\"G\"/>")
                                          << u"a cell at x=16 is outside the 3 x 3 grid"_qs;
        QTest::newRow("jpz missing square") << jpz("<cell x=\"3\" y=\"3\" solution=\"G\"/>", "")
                                            << u"gives no square at x=3, y=3"_qs;
        QTest::newRow("jpz clue number")
            << jpz("number=\"3\" format=\"3\"", "number=\"3-across\" format=\"3\"")
            << u"clue number \"3-across\" is not a number"_qs;
        QTest::newRow("jpz acrostic")
            << jpz("<crossword>", "<acrostic>").replace("</crossword>", "</acrostic>")
            << u"an acrostic is not a crossword"_qs;
        QTest::newRow("jpz other root")
            << QByteArray("<html><body/></html>") << u"root element \"html\" is not a jpz"_qs;
        QTest::newRow("jpz unknown list")
            << jpz("<b>Down</b>", "Diagonal") << u"\"Diagonal\" is neither Across nor Down"_qs;
        // Entities: neither expanded without bound nor read from files.
        QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
        for (int i = 1; i <= 9; ++i) {
            laughs += "<!ENTITY lol" + QByteArray::number(i) + " \"";
            for (int k = 0; k < 10; ++k)
                laughs += "&lol" + (i > 1 ? QByteArray::number(i - 1) : QByteArray()) + ';';
            laughs += "\">\n";
        }
        laughs += "]>\n<crossword-compiler><rectangular-puzzle><metadata><title>&lol9;</title>"
                  "</metadata></rectangular-puzzle></crossword-compiler>";
        QTest::newRow("billion laughs") << laughs << u"declares entities"_qs;
        QByteArray parameterLaughs =
            "<?xml version=\"1.0\"?>\n<!DOCTYPE x [\n<!ENTITY % a \"aaaaaaaaaa\">\n";
        for (char c = 'b'; c <= 'j'; ++c) {
            parameterLaughs += QByteArray("<!ENTITY % ") + c + " \"";
            for (int k = 0; k < 10; ++k)
                parameterLaughs += QByteArray("%") + char(c - 1) + ';';
            parameterLaughs += "\">\n";
        }
        parameterLaughs += "]>\n<crossword-compiler/>";
        QTest::newRow("parameter entities") << parameterLaughs << u"malformed XML"_qs;
        QTest::newRow("external entity")
            << jpz("<crossword-compiler-applet",
                   "<!DOCTYPE x [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>\n"
                   "<crossword-compiler-applet")
                   .replace("<title>Tiny</title>", "<title>&xxe;</title>")
            << u"declares entities"_qs;
        QTest::newRow("external document type")
            << jpz("<crossword-compiler-applet",
                   "<!DOCTYPE x SYSTEM \"file:///etc/passwd\">\n<crossword-compiler-applet")
                   .replace("<title>Tiny</title>", "<title>&xxe;</title>")
            << u"undeclared entity \"xxe\""_qs;

        const QByteArray puzzle = test::readFile(data + u"/plain.jpz"_qs);
        QTest::newRow("zip without puzzle")
            << makeZip({{"a.txt", "a"}, {"b.png", "b"}}) << u"the ZIP archive holds no puzzle"_qs;
        QTest::newRow("zip of a text")
            << makeZip({{"readme.txt", "Hello"}}) << u"the ZIP archive holds no puzzle"_qs;
        QList<QPair<QByteArray, QByteArray>> many;
        for (int i = 0; i < 17; ++i)
            many.append({"p" + QByteArray::number(i) + ".jpz", puzzle});
        QTest::newRow("zip of 17 entries") << makeZip(many) << u"17 entries"_qs;
        const QByteArray huge = '<' + QByteArray(kMaxZipEntryBytes, ' ');
        QTest::newRow("zip entry too large")
            << makeZip({{"p.jpz", huge}}) << u"too large to be a puzzle ("_qs;
        // Declared small, inflated huge: the reading stops at the limit.
        QTest::newRow("zip entry larger than declared")
            << withDeclaredSize(makeZip({{"p.jpz", huge}}), 1000) << u"ZIP entry"_qs;
        QTest::newRow("broken zip") << QByteArray("PK\x03\x04 and nothing after it") << u"ZIP"_qs;
    }

    void refusals()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const ReadResult r = readAnyPuzzle(bytes, u"bad.ipuz"_qs);
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
        QVERIFY2(!r.error.contains(u"root:"_qs), "a file's content came out");
    }

    // Elements the reader passes over may nest as deep as the file is long
    // without exhausting the stack.
    void deepNesting()
    {
        const int depth = 1000000;
        const QByteArray xml =
            jpz("<crossword>", QByteArray("<a>").repeated(depth) +
                                   QByteArray("</a>").repeated(depth) + "<crossword>");
        const ReadResult r = readAnyPuzzle(xml, u"deep.jpz"_qs);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.puzzle->clue_d, test::tinySource().down);
    }

    // Texts as the files carry them: mark-up and references go, "<" that
    // opens no tag and unknown references stay.
    void plainTexts_data()
    {
        QTest::addColumn<QString>("marked");
        QTest::addColumn<int>("breaks");
        QTest::addColumn<QString>("plain");
        const int space = int(LineBreaks::Space);
        const int keep = int(LineBreaks::Keep);
        QTest::newRow("tags") << u"<i>a</i> <span class=\"x\">b</span><sup>2</sup>"_qs << space
                              << u"a b2"_qs;
        QTest::newRow("not a tag") << u"1 < 2 and 3 <4"_qs << space << u"1 < 2 and 3 <4"_qs;
        QTest::newRow("references") << u"&amp;&eacute;&#233;&#xE9;&#128512;&bogus;&#0;&"_qs << space
                                    << u"&\u00e9\u00e9\u00e9\U0001F600&bogus;\uFFFD&"_qs;
        QTest::newRow("breaks as space")
            << u"one <br/>two\r\n  three"_qs << space << u"one two three"_qs;
        QTest::newRow("breaks kept")
            << u" one<br>two\r\n\r\nthree<p>"_qs << keep << u"one\ntwo\n\nthree"_qs;
    }

    void plainTexts()
    {
        QFETCH(QString, marked);
        QFETCH(int, breaks);
        QFETCH(QString, plain);
        QCOMPARE(plainText(marked, LineBreaks(breaks)), plain);
    }

    // The content chooses the reader, whatever the name says; a .puz file
    // whose checksum happens to start like JSON or XML stays a .puz file.
    void contentDecides_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("title");
        const QByteArray puz = puzwriter::write(test::tinySource());
        QByteArray braced = puz;
        braced[0] = '{';
        QByteArray angled = puz;
        angled[0] = ' ';
        angled[1] = '<';
        QTest::newRow("ipuz named .puz")
            << u"x.puz"_qs << test::readFile(test::dataDir() + u"/plain.ipuz"_qs) << u"Tiny"_qs;
        QTest::newRow("puz named .ipuz") << u"y.ipuz"_qs << puz << u"Tiny"_qs;
        QTest::newRow("jpz named .puz")
            << u"z.puz"_qs << test::readFile(test::dataDir() + u"/no-solution.jpz"_qs)
            << u"Unsolved"_qs;
        QTest::newRow("puz starting with {") << u"b.puz"_qs << braced << u"Tiny"_qs;
        QTest::newRow("puz starting with <") << u"a.puz"_qs << angled << u"Tiny"_qs;
    }

    void contentDecides()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, title);
        QTemporaryDir dir;
        QVERIFY(test::writeFile(dir.filePath(name), bytes));
        const ReadResult r = readPuzzleFile(dir.filePath(name));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.puzzle->puz_title, title);
        QCOMPARE(r.puzzle->CurrentFileName, name);
        QCOMPARE(crossBowFileName(*r.puzzle), name + u".txt"_qs);
    }
};

QTEST_GUILESS_MAIN(TestOtherFormats)
#include "tst_otherformats.moc"
