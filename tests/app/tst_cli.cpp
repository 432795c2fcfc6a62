#include "convert/convert.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

using Outcome = test::ProcessOutcome;

Outcome runNorvale(const QStringList &args) { return test::runProgram(test::norvaleBinary(), args); }

QString samplesDir() { return test::dataDir() + u"/../../samples"_qs; }

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
        for (const QString &name : {u"nyt_jul0719.puz"_qs, u"washpost.puz"_qs, u"unicode.puz"_qs,
                                    u"rat-race.puz"_qs}) {
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
        QTest::newRow("all readable, quiet") << QStringList{u"-q"_qs, u"--convert-to"_qs, u"@OUT"_qs, sample}
                                             << 0 << QString();
        QTest::newRow("unknown option") << QStringList{u"--frobnicate"_qs} << 2 << u"frobnicate"_qs;
        QTest::newRow("solutions alone") << QStringList{u"--generate-solutions"_qs, u"--convert-to"_qs}
                                         << 2 << u"convert-to"_qs;
        QTest::newRow("empty list") << QStringList{u"--convert-to"_qs, u"@OUT"_qs} << 2
                                    << u"No Files in List"_qs;
        QTest::newRow("destination not creatable")
            << QStringList{u"--convert-to"_qs, u"/proc/norvale-out"_qs, sample} << 3
            << u"cannot create"_qs;
        QTest::newRow("missing file") << QStringList{u"--convert-to"_qs, u"@OUT"_qs, u"/no/such.puz"_qs}
                                      << 1 << u"/no/such.puz: not a readable puzzle: the file does not exist"_qs;
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
