#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

// The thumbnailer runs as a file manager runs it: no display at all, and a
// window system named that is not there. Making an application object on
// it would end the program.
QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_qs);
    env.remove(u"WAYLAND_DISPLAY"_qs);
    env.insert(u"QT_QPA_PLATFORM"_qs, u"xcb"_qs);
    return env;
}

test::ProcessOutcome thumbnail(const QStringList &args)
{
    return test::runProgram(test::norvaleBinary(), QStringList{u"--thumbnail"_qs} + args,
                            withoutDisplay());
}

} // namespace

class TestThumbnail : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Published puzzles: a square picture of the size asked for, each
    // square dark in its middle exactly where the grid has a black square.
    void publishedPuzzles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("size");
        QTest::newRow("21 x 21") << u"wsj110624.puz"_qs << 256;
        QTest::newRow("22 x 22, small") << u"nyt_jul0719.puz"_qs << 128;
        QTest::newRow("15 x 15, rebus and circles")
            << u"nyt_rebus_with_notes_and_shape.puz"_qs << 150;
        QTest::newRow("preamble before the header") << u"washpost.puz"_qs << 200;
    }

    void publishedPuzzles()
    {
        QFETCH(QString, file);
        QFETCH(int, size);
        const QString input = test::dataDir() + u'/' + file;
        const ReadResult read = readPuzzleFile(input);
        QVERIFY(read.ok());
        const Puzzle &p = *read.puzzle;
        QCOMPARE(p.width, p.height);

        QTemporaryDir out;
        const QString png = out.filePath(u"grid.png"_qs);
        const test::ProcessOutcome o = thumbnail({QString::number(size), input, png});
        QCOMPARE(o.status, 0);
        QCOMPARE(o.err, QString());
        QImage image;
        QVERIFY(image.load(png, "PNG"));
        QCOMPARE(image.size(), QSize(size, size));

        const double cell = double(size) / p.width;
        int blacks = 0;
        for (int r = 1; r <= p.height; ++r) {
            for (int c = 1; c <= p.width; ++c) {
                const int x = int((c - 0.5) * cell);
                const int y = int((r - 0.5) * cell);
                const bool dark = qGray(image.pixel(x, y)) < 128;
                QVERIFY2(dark == p.isBlack(c, r), qPrintable(u"square %1,%2"_qs.arg(c).arg(r)));
                blacks += dark ? 1 : 0;
            }
        }
        QVERIFY(blacks > 0);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"grid.png"_qs});
    }

    // Every refusal leaves no file behind, not even a temporary one.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString puzzle = test::dataDir() + u"/wsj110624.puz"_qs;
        const QString notPuzzle = test::dataDir() + u"/ONE_bad.puz"_qs;
        QTest::newRow("not a puzzle") << QStringList{u"128"_qs, notPuzzle, u"@OUT"_qs} << 1
                                      << u"ONE_bad.puz: not a readable puzzle: no ACROSS&DOWN"_qs;
        QTest::newRow("no such file") << QStringList{u"128"_qs, u"/no/such.puz"_qs, u"@OUT"_qs} << 1
                                      << u"/no/such.puz: not a readable puzzle"_qs;
        QTest::newRow("a folder") << QStringList{u"128"_qs, test::dataDir(), u"@OUT"_qs} << 1
                                  << u"not a readable puzzle"_qs;
        for (const QString &size :
             {u"0"_qs, u"-5"_qs, u"4097"_qs, u"big"_qs, u"12px"_qs, QString()}) {
            QTest::addRow("size '%s'", qPrintable(size))
                << QStringList{size, puzzle, u"@OUT"_qs} << 2 << u"needs a size from 1 to 4096"_qs;
        }
        QTest::newRow("no output named")
            << QStringList{u"128"_qs, puzzle} << 2 << u"SIZE INPUT OUTPUT"_qs;
        QTest::newRow("two inputs")
            << QStringList{u"128"_qs, puzzle, puzzle, u"@OUT"_qs} << 2 << u"SIZE INPUT OUTPUT"_qs;
        QTest::newRow("with another option")
            << QStringList{u"128"_qs, puzzle, u"@OUT"_qs, u"--quiet"_qs} << 2
            << u"no other option"_qs;
        QTest::newRow("folder of the output missing")
            << QStringList{u"128"_qs, puzzle, u"@OUT/no/such/grid.png"_qs} << 3
            << u"cannot write"_qs;
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir out;
        args.replaceInStrings(u"@OUT"_qs, out.filePath(u"grid.png"_qs));
        const test::ProcessOutcome o = thumbnail(args);
        QCOMPARE(o.status, status);
        QVERIFY2(o.err.contains(message), qPrintable(o.err));
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    // A picture left from before is replaced whole.
    void replacesAnOldPicture()
    {
        QTemporaryDir out;
        const QString png = out.filePath(u"grid.png"_qs);
        QVERIFY(test::writeFile(png, QByteArray(100000, 'x')));
        const test::ProcessOutcome o =
            thumbnail({u"64"_qs, test::dataDir() + u"/wsj110624.puz"_qs, png});
        QCOMPARE(o.status, 0);
        QImage image;
        QVERIFY(image.load(png, "PNG"));
        QCOMPARE(image.size(), QSize(64, 64));
    }
};

QTEST_GUILESS_MAIN(TestThumbnail)
#include "tst_thumbnail.moc"
