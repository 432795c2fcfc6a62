#include "batch/batch.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

// Records what the layouts draw, reduced to what a run decides: the page
// breaks and the titles drawn on each page.
class PageLog : public Surface {
public:
    void TextFont(const QString &) override {}
    void TextSize(int size) override { m_size = size; }
    int TextSize() const override { return m_size; }
    void Bold(bool) override {}
    void ForeColor(const QColor &) override {}
    double StringWidth(const QString &text) override { return double(text.size()); }
    double StringHeight(const QString &text, int, double) override { return double(text.count(u'\n') + 1); }
    void DrawString(const QString &text, int, int, int, double) override
    {
        if (text.startsWith(u'P'))
            log += text.section(u',', 0, 0) + u' ';
    }
    void DrawLine(int, int, int, int) override {}
    void FillRect(int, int, int, int) override {}
    void DrawOval(int, int, int, int) override {}
    bool NextPage() override
    {
        log += u"| "_qs;
        return true;
    }
    int Width() const override { return 1000; }
    int Height() const override { return 1000; }
    std::unique_ptr<Surface> measuringSurface() const override
    {
        return std::make_unique<PageLog>();
    }

    QString log;

private:
    int m_size = 10;
};

class Observer : public BatchObserver {
public:
    void status(const QString &text) override { statuses.append(text); }
    void progress(int value, int max) override
    {
        lastValue = value;
        maximum = max;
    }
    void skipped(int position, const FileRow &, const QString &) override
    {
        skips.append(position);
    }
    void yield() override
    {
        if (++yields == cancelAtYield)
            cancelNow = true;
    }
    bool cancelled() override { return cancelNow; }

    QStringList statuses;
    QList<int> skips;
    int lastValue = -1;
    int maximum = -1;
    int yields = 0;
    int cancelAtYield = -1;
    bool cancelNow = false;
};

} // namespace

class TestBatch : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // Entries named by "P1 P2 x P4": P-names are puzzles titled so, x is a
    // file that is not a puzzle.
    QList<FileRow> makeList(const QString &names)
    {
        QList<FileRow> rows;
        int n = 0;
        for (const QString &name : names.split(u' ')) {
            const QString file = QStringLiteral("%1-%2.puz").arg(++n).arg(name);
            QByteArray bytes = "not a puzzle";
            if (name.startsWith(u'P')) {
                puzwriter::PuzzleSource s = test::tinySource();
                s.title = name;
                bytes = puzwriter::write(s);
            }
            test::writeFile(m_dir.filePath(file), bytes);
            rows.append({file, file, m_dir.path() + u'/'});
        }
        return rows;
    }

private Q_SLOTS:
    // Page breaks: after every puzzle page but the last one (unless
    // solutions follow), after every sixth solution slot but at the end.
    void pageBreaks_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("puzzles");
        QTest::addColumn<bool>("solutions");
        QTest::addColumn<QString>("pages");
        QTest::newRow("7 solutions")
            << u"P1 P2 P3 P4 P5 P6 P7"_qs << false << true << u"P1 P2 P3 P4 P5 P6 | P7 "_qs;
        QTest::newRow("exactly 6")
            << u"P1 P2 P3 P4 P5 P6"_qs << false << true << u"P1 P2 P3 P4 P5 P6 "_qs;
        QTest::newRow("sixth unreadable")
            << u"P1 P2 P3 P4 P5 x P7"_qs << false << true << u"P1 P2 P3 P4 P5 | P7 "_qs;
        QTest::newRow("3 puzzles with solutions")
            << u"P1 P2 P3"_qs << true << true << u"P1 | P2 | P3 | P1 P2 P3 "_qs;
        QTest::newRow("puzzles only") << u"P1 P2"_qs << true << false << u"P1 | P2 "_qs;
        // No empty page at the end when the last entries cannot be read.
        QTest::newRow("last unreadable") << u"P1 P2 x"_qs << true << false << u"P1 | P2 "_qs;
        QTest::newRow("no readable solution") << u"P1 x"_qs << true << true << u"P1 | P1 "_qs;
    }

    void pageBreaks()
    {
        QFETCH(QString, list);
        QFETCH(bool, puzzles);
        QFETCH(bool, solutions);
        QFETCH(QString, pages);
        const QList<FileRow> rows = makeList(list);
        BatchOptions options;
        options.printPuzzles = puzzles;
        options.printSolutions = solutions;
        Puzzle record;
        Observer observer;
        PageLog surface;
        BatchRun run(rows, options, record, observer);
        run.setPrintTarget(&surface, {1000, 1000, 72});
        const BatchResult result = run.run();
        QVERIFY(!result.failure);
        QCOMPARE(surface.log, pages);
    }

    // Progress: the list's length once per ticked pass; unreadable entries
    // count only in the solution pass.
    void progressAndStatus()
    {
        const QList<FileRow> rows = makeList(u"P1 x P3 P4 P5"_qs);
        BatchOptions options;
        options.printSolutions = true;
        options.convert = true;
        options.gridAtBottom = options.generateSolutions = true;
        QCOMPARE(BatchRun::progressTotal(options, 5), 10);
        Puzzle record;
        Observer observer;
        PageLog surface;
        BatchRun run(rows, options, record, observer);
        run.setPrintTarget(&surface, {1000, 1000, 72});
        QTemporaryDir out;
        run.setDestination(out.path());
        const BatchResult result = run.run();
        QCOMPARE(result.progressMaximum, 10);
        QCOMPARE(result.progressValue, 9);
        QCOMPARE(observer.lastValue, 9);
        QCOMPARE(observer.skips, (QList<int>{2, 2}));
        QCOMPARE(observer.statuses.first(), u"Printing Solution 1-P1.puz..."_qs);
        QCOMPARE(observer.statuses.last(), u"Converting 5-P5.puz..."_qs);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 8);
        QCOMPARE(record.CurrentFileName, u"5-P5.puz"_qs);
    }

    // A cancel ends the pass before its next entry and runs no later pass.
    void cancel()
    {
        const QList<FileRow> rows = makeList(u"P1 P2 P3"_qs);
        BatchOptions options;
        options.printPuzzles = options.convert = true;
        Puzzle record;
        Observer observer;
        observer.cancelAtYield = 2;
        PageLog surface;
        QTemporaryDir out;
        BatchRun run(rows, options, record, observer);
        run.setPrintTarget(&surface, {1000, 1000, 72});
        run.setDestination(out.path());
        const BatchResult result = run.run();
        QVERIFY(result.cancelled);
        QCOMPARE(surface.log, u"P1 "_qs); // no empty page after a cancel
        QCOMPARE(observer.yields, 2);
        QVERIFY(QDir(out.path()).isEmpty());
    }

    // An output that cannot be written stops the run and says which file.
    void writeFailureStops()
    {
        const QList<FileRow> rows = makeList(u"P1 P2"_qs);
        BatchOptions options;
        options.convert = true;
        Puzzle record;
        Observer observer;
        BatchRun run(rows, options, record, observer);
        run.setDestination(m_dir.filePath(u"no/such/folder"_qs));
        const BatchResult result = run.run();
        QVERIFY(result.failure);
        QVERIFY2(result.failure->contains(u"1-P1.puz.txt"_qs), qPrintable(*result.failure));
        QCOMPARE(observer.statuses.size(), 1);
    }

    // The conversion pass commits its outputs in groups. A cancel, or a file
    // that cannot be written, ends the pass with the files complete so far
    // under their names, in list order, and no temporary file left.
    void conversionEndsWithCommittedFiles_data()
    {
        QTest::addColumn<int>("cancelAtYield");
        QTest::addColumn<QString>("inTheWay"); // a folder where an output goes
        QTest::addColumn<QStringList>("files");
        QTest::newRow("cancel before the third entry")
            << 3 << QString()
            << QStringList{u"1-P1.puz.sol.txt"_qs, u"1-P1.puz.txt"_qs, u"2-P2.puz.sol.txt"_qs,
                           u"2-P2.puz.txt"_qs};
        QTest::newRow("second entry's solution cannot be written")
            << -1 << u"2-P2.puz.sol.txt"_qs
            << QStringList{u"1-P1.puz.sol.txt"_qs, u"1-P1.puz.txt"_qs, u"2-P2.puz.sol.txt"_qs,
                           u"2-P2.puz.txt"_qs};
        QTest::newRow("first file cannot be written")
            << -1 << u"1-P1.puz.txt"_qs << QStringList{u"1-P1.puz.txt"_qs};
    }

    void conversionEndsWithCommittedFiles()
    {
        QFETCH(int, cancelAtYield);
        QFETCH(QString, inTheWay);
        QFETCH(QStringList, files);
        const QList<FileRow> rows = makeList(u"P1 P2 P3"_qs);
        BatchOptions options;
        options.convert = options.generateSolutions = true;
        Puzzle record;
        Observer observer;
        observer.cancelAtYield = cancelAtYield;
        QTemporaryDir out;
        if (!inTheWay.isEmpty())
            QVERIFY(QDir(out.path()).mkdir(inTheWay));
        BatchRun run(rows, options, record, observer);
        run.setDestination(out.path());
        const BatchResult result = run.run();
        QCOMPARE(result.cancelled, cancelAtYield > 0);
        QCOMPARE(bool(result.failure), !inTheWay.isEmpty());
        if (result.failure)
            QVERIFY2(result.failure->contains(inTheWay), qPrintable(*result.failure));
        QCOMPARE(QDir(out.path())
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
                 files);
        for (const QString &name : files) {
            if (name != inTheWay)
                QVERIFY(!test::readFile(out.filePath(name)).isEmpty());
        }
    }

    void parsePuzzleKeepsRecordOnFailure()
    {
        const QList<FileRow> rows = makeList(u"P1 x"_qs);
        Puzzle record;
        QCOMPARE(ParsePuzzle(rows, 1, record), u"1-P1.puz"_qs);
        const Puzzle before = record;
        QString reason;
        QCOMPARE(ParsePuzzle(rows, 2, record, &reason), QString());
        QVERIFY(reason.contains(u"signature"_qs));
        QCOMPARE(record, before);
        QCOMPARE(ParsePuzzle(rows, 3, record), QString());
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
