#include "puzzle/cp1252.h"
#include "readertestsupport.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace norvale;
using namespace norvale::test;

// The .puz reader: the grid, its numbering, the texts, refusals and the
// published files.
class TestReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void workedExample()
    {
        const Puzzle p = readBack(test::tinySource());
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
        const Puzzle p = readBack(s);
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
        const Puzzle p = readBack(s);
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

    void fileAccess_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << u"missing"_qs << u"does not exist"_qs;
        QTest::newRow("folder") << u"folder"_qs << u"folder"_qs;
        QTest::newRow("pipe") << u"pipe"_qs << u"not a regular file"_qs;
        QTest::newRow("too large") << u"large"_qs << u"too large to be a puzzle"_qs;
        QTest::newRow("dangling link") << u"link"_qs << u"does not exist"_qs;
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
        if (kind == u"large") { // sparse: takes no room on the disk
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(kMaxPuzzleFileSize + 1));
        }
        if (kind == u"link")
            QVERIFY(QFile::link(dir.filePath(u"gone.puz"_qs), path));
        const ReadResult r = readPuzzleFile(path);
        QVERIFY(!r.ok());
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
