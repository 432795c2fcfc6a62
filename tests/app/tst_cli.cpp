#include "convert/convert.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace norvale;

namespace {

using Outcome = test::ProcessOutcome;

Outcome runNorvale(const QStringList &args)
{
    return test::runProgram(test::norvaleBinary(), args);
}

QString samplesDir()
{
    return test::dataDir() + u"/../../samples"_qs;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The published files and the samples, walked as a drop: every readable
    // puzzle gives its two files, the one that is not a puzzle is named on
    // stderr with its reason, and the run goes on.
    void convertsFolderAndFiles()
    {
        QTemporaryDir out;
        const QString dest = out.filePath(u"new/folder"_qs);
        const Outcome o = runNorvale({u"--convert-to"_qs, dest, u"--generate-solutions"_qs,
                                      test::dataDir(), samplesDir() + u"/rat-race.puz"_qs});
        QCOMPARE(o.status, 1);
        QVERIFY2(o.err.contains(u"ONE_bad.puz: not a readable puzzle: no ACROSS&DOWN signature"_qs),
                 qPrintable(o.err));
        // Of the .puz files only ONE_bad.puz is refused; the other refusals
        // are the folder's notes and fuzzing seeds.
        QStringList refusedPuz;
        for (const QString &line : o.err.split(u'\n')) {
            if (line.contains(u".puz: not a readable puzzle"_qs))
                refusedPuz.append(line.section(u": "_qs, 1, 1).section(u'/', -1));
        }
        QCOMPARE(refusedPuz, QStringList{u"ONE_bad.puz"_qs});
        for (const QString &name :
             {u"nyt_jul0719.puz"_qs, u"washpost.puz"_qs, u"unicode.puz"_qs, u"rat-race.puz"_qs}) {
            const QString dir = name == u"rat-race.puz" ? samplesDir() : test::dataDir();
            const ReadResult r = readPuzzleFile(dir + u'/' + name);
            QVERIFY(r.ok());
            QCOMPARE(test::readFile(dest + u'/' + name + u".txt"_qs), crossBowText(*r.puzzle));
            QCOMPARE(test::readFile(dest + u'/' + name + u".sol.txt"_qs), solutionText(*r.puzzle));
        }
        QVERIFY(!QFile::exists(dest + u"/ONE_bad.puz.txt"_qs));
        // Progress goes to stderr as plain lines when stderr is not a terminal.
        QVERIFY(o.err.contains(u"Converting wsj110624.puz..."_qs));
    }

    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString sample = samplesDir() + u"/bass-notes.puz"_qs;
        QTest::newRow("all readable, quiet")
            << QStringList{u"-q"_qs, u"--convert-to"_qs, u"@OUT"_qs, sample} << 0 << QString();
        QTest::newRow("unknown option") << QStringList{u"--frobnicate"_qs} << 2 << u"frobnicate"_qs;
        QTest::newRow("solutions alone")
            << QStringList{u"--generate-solutions"_qs, u"--convert-to"_qs} << 2 << u"convert-to"_qs;
        QTest::newRow("empty list")
            << QStringList{u"--convert-to"_qs, u"@OUT"_qs} << 2 << u"No Files in List"_qs;
        QTest::newRow("destination not creatable")
            << QStringList{u"--convert-to"_qs, u"/proc/norvale-out"_qs, sample} << 3
            << u"cannot create"_qs;
        QTest::newRow("missing file")
            << QStringList{u"--convert-to"_qs, u"@OUT"_qs, u"/no/such.puz"_qs} << 1
            << u"/no/such.puz: not a readable puzzle: the file does not exist"_qs;
        QTest::newRow("version") << QStringList{u"--version"_qs} << 0 << QString();
    }

    void exitStatuses()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir out;
        args.replaceInStrings(u"@OUT"_qs, out.path());
        const Outcome o = runNorvale(args);
        QCOMPARE(o.status, status);
        QVERIFY2(o.err.contains(message), qPrintable(o.err));
        if (args.contains(u"-q"_qs))
            QCOMPARE(o.err, QString());
    }

    // Files that cannot be written end the run with status 3, naming the
    // file; nothing half-written is left.
    void writeFailure()
    {
        QTemporaryDir out;
        QVERIFY(QDir(out.path()).mkpath(u"bass-notes.puz.txt"_qs)); // a folder in the way
        const Outcome o = runNorvale({u"--convert-to"_qs, out.path(), samplesDir()});
        QCOMPARE(o.status, 3);
        QVERIFY2(o.err.contains(u"cannot write"_qs) && o.err.contains(u"bass-notes.puz.txt"_qs),
                 qPrintable(o.err));
        const QStringList left = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left, QStringList());
    }

    // A locked solution that no key opens: the passes that need the letters
    // say what they did without them, the run ends with status 1, and the
    // CrossBow file is still written.
    void lockedSolution_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("messages");
        const QString noFile = u"the solution is locked; no solution file written"_qs;
        const QString noLetters = u"the solution is locked; its solution sheet shows no letters"_qs;
        QTest::newRow("convert") << QStringList{u"--convert-to"_qs, u"@OUT"_qs,
                                                u"--generate-solutions"_qs}
                                 << QStringList{noFile};
        QTest::newRow("print solutions")
            << QStringList{u"--print-solutions"_qs, u"--pdf"_qs, u"@OUT/s.pdf"_qs}
            << QStringList{noLetters};
        QTest::newRow("both") << QStringList{u"-q"_qs,
                                             u"--convert-to"_qs,
                                             u"@OUT"_qs,
                                             u"--generate-solutions"_qs,
                                             u"--print-solutions"_qs,
                                             u"--pdf"_qs,
                                             u"@OUT/s.pdf"_qs}
                              << QStringList{noLetters, noFile};
    }

    void lockedSolution()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, messages);
        QTemporaryDir out;
        const QString puz = out.filePath(u"Locked.puz"_qs);
        puzwriter::PuzzleSource source = test::tinySource();
        source.lockKey = 1234;
        QByteArray bytes = puzwriter::write(source);
        qToLittleEndian<quint16>(0, bytes.data() + 0x1E); // a checksum no key gives
        QVERIFY(test::writeFile(puz, bytes));
        QVERIFY(!readPuzzleFile(puz).puzzle->solutionKnown);

        args.replaceInStrings(u"@OUT"_qs, out.path());
        const Outcome o = runNorvale(args << puz);
        QCOMPARE(o.status, 1);
        for (const QString &message : std::as_const(messages))
            QVERIFY2(o.err.contains(u"norvale: "_qs + puz + u": "_qs + message), qPrintable(o.err));
        QCOMPARE(o.err.count(u"the solution is locked"_qs), messages.size());
        if (args.contains(u"--convert-to"_qs)) {
            QVERIFY(QFile::exists(puz + u".txt"_qs));
            QVERIFY(!QFile::exists(puz + u".sol.txt"_qs));
        }
        if (args.contains(u"--pdf"_qs))
            QVERIFY(QFileInfo(out.filePath(u"s.pdf"_qs)).size() > 0);
    }

    // The published locked file opens with its key: a complete success, and
    // the solution file holds the real letters.
    void unlockedSolution()
    {
        QTemporaryDir out;
        const Outcome o =
            runNorvale({u"-q"_qs, u"--convert-to"_qs, out.path(), u"--generate-solutions"_qs,
                        test::dataDir() + u"/nyt_weekday_with_notes.puz"_qs});
        QCOMPARE(o.status, 0);
        QCOMPARE(o.err, QString());
        const QByteArray solution =
            test::readFile(out.filePath(u"nyt_weekday_with_notes.puz.sol.txt"_qs));
        QVERIFY(solution.contains("\r\n\r\nP  A  S  O  D  O  B  L  E  -  -  G  R  U  B  \r\n"));
    }

    void help()
    {
        const Outcome o = runNorvale({u"--help"_qs});
        QCOMPARE(o.status, 0);
        QVERIFY(o.out.contains(u"--convert-to <dir>"_qs));
        QVERIFY(o.out.contains(u"--generate-solutions"_qs));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
