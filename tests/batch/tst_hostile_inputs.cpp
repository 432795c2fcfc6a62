#include "batch/batch.h"
#include "convert/convert.h"
#include "print/layout.h"
#include "print/recordingsurface.h"
#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

// Whatever the reader accepts must convert and print without trouble.
void useEverywhere(const Puzzle &p)
{
    const QByteArray text = crossBowText(p);
    QCOMPARE(text.count("\r\n"), 7 + p.height + p.num_a.size() + p.num_d.size());
    QVERIFY(solutionText(p).endsWith("\r\n"));
    RecordingSurface page(1000, 1400);
    PrintPuzzle(page, p, {1000, 1400, 144}, false);
    PrintSolutions(page, p, {1000, 1400, 144}, 6);
    QCOMPARE(page.pageCount(), 1);
}

QByteArray header(int width, int height)
{
    QByteArray h(0x34, '\0');
    h.replace(2, 12, QByteArrayView("ACROSS&DOWN\0", 12));
    h[0x2C] = static_cast<char>(width);
    h[0x2D] = static_cast<char>(height);
    return h;
}

puzwriter::PuzzleSource bigSource(int size)
{
    puzwriter::PuzzleSource s;
    s.title = QStringLiteral("Big");
    for (int r = 0; r < size; ++r) {
        QString row;
        for (int c = 0; c < size; ++c)
            row += (r * 7 + c * 3) % 11 == 0 ? u'.' : QChar(u'A' + (r + c) % 26);
        s.rows.append(row);
    }
    for (int i = 0; i < size * size; ++i) {
        s.across.append(QStringLiteral("Across %1").arg(i));
        s.down.append(QStringLiteral("Down %1").arg(i));
    }
    return s;
}

} // namespace

// Files that come from anywhere: each one is either read or refused with a
// reason, and whatever is read can be converted and printed.
class TestHostileInputs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void truncatedAtEveryOffset()
    {
        const QByteArray full = test::readFile(test::dataDir() + u"/nyt_weekday_with_notes.puz"_qs);
        QVERIFY(!full.isEmpty());
        const qsizetype grids = 0x34 + 2 * 15 * 15;
        int accepted = 0;
        for (qsizetype n = 0; n <= full.size(); ++n) {
            const ReadResult r = readPuzzle(full.left(n), u"cut.puz"_qs);
            if (!r.ok()) {
                QVERIFY(!r.error.isEmpty());
                continue;
            }
            QVERIFY2(n >= grids, qPrintable(QString::number(n)));
            ++accepted;
            useEverywhere(*r.puzzle);
        }
        // Once every clue text is there, every longer prefix reads.
        QVERIFY(accepted > 0);
        QVERIFY(readPuzzle(full, u"x"_qs).ok());
    }

    void sizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<qsizetype>("gridBytes");
        QTest::addColumn<bool>("readable");
        for (int w : {0, 1, 255}) {
            for (int h : {0, 1, 255}) {
                const qsizetype need = 2 * qsizetype(w) * h;
                QTest::addRow("%dx%d complete", w, h) << w << h << need << true;
                if (need > 0)
                    QTest::addRow("%dx%d short", w, h) << w << h << need - 1 << false;
            }
        }
    }

    void sizes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(qsizetype, gridBytes);
        QFETCH(bool, readable);
        // Grids of black squares only: no words, so no clue texts needed.
        const QByteArray bytes = header(width, height) + QByteArray(gridBytes, '.');
        const ReadResult r = readPuzzle(bytes, u"s.puz"_qs);
        QCOMPARE(r.ok(), readable);
        if (r.ok()) {
            QCOMPARE(r.puzzle->width * r.puzzle->height, width * height);
            useEverywhere(*r.puzzle);
        }
    }

    void largestGrid()
    {
        const ReadResult r = readPuzzle(puzwriter::write(bigSource(255)), u"big.puz"_qs);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.puzzle->width, 255);
        QVERIFY(r.puzzle->num_a.size() > 1000);
        useEverywhere(*r.puzzle);
    }

    void textFields_data()
    {
        QTest::addColumn<QByteArray>("texts");
        QTest::addColumn<QString>("lastClue");
        // 2 x 1 grid "AB": one across word.
        QTest::newRow("no final zero byte") << QByteArray("T\0A\0C\0Clue", 10) << u"Clue"_qs;
        QTest::newRow("no texts at all") << QByteArray() << QString();
        QTest::newRow("longest clue")
            << QByteArray("T\0A\0C\0", 6) + QByteArray(4096, 'x') << QString(4096, u'x');
        QTest::newRow("huge clue")
            << QByteArray("T\0A\0C\0", 6) + QByteArray(8 << 20, 'x') << u"longer than"_qs;
        QTest::newRow("huge title")
            << QByteArray(8 << 20, 'x') + QByteArray("\0A\0C\0Clue", 10) << u"longer than"_qs;
    }

    void textFields()
    {
        QFETCH(QByteArray, texts);
        QFETCH(QString, lastClue);
        const QByteArray bytes = header(2, 1) + "AB--" + texts;
        const ReadResult r = readPuzzle(bytes, u"t.puz"_qs);
        if (lastClue.isNull() || lastClue == u"longer than") {
            QVERIFY(!r.ok());
            QVERIFY2(r.error.contains(lastClue.isNull() ? u"clue texts"_qs : lastClue),
                     qPrintable(r.error));
            return;
        }
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.puzzle->clue_a.value(0), lastClue);
        useEverywhere(*r.puzzle);
    }

    // Entries that change under the run: a file that disappears after it
    // was listed, a folder named like a puzzle, a name that is not UTF-8.
    void entriesThatGoWrong()
    {
        QTemporaryDir dir;
        const QDir d(dir.path());
        QVERIFY(test::writeFile(d.filePath(u"gone.puz"_qs), puzwriter::write(test::tinySource())));
        QVERIFY(d.mkdir(u"folder.puz"_qs));
        QVERIFY(test::writeFile(d.filePath(u"ok.puz"_qs), puzwriter::write(test::tinySource())));
        const QByteArray oddName = QFile::encodeName(dir.path()) + "/caf\xe9 : odd\nname.puz";
        QVERIFY(test::writeFile(QFile::decodeName(oddName), puzwriter::write(test::tinySource())));
        QList<FileRow> rows = {{u"gone.puz"_qs, u"gone.puz"_qs, d.path() + u'/'},
                               {u"folder.puz"_qs, u"folder.puz"_qs, d.path() + u'/'},
                               {u"ok.puz"_qs, u"ok.puz"_qs, d.path() + u'/'}};
        QVERIFY(QFile::remove(d.filePath(u"gone.puz"_qs)));

        class Skips : public BatchObserver {
        public:
            void skipped(int position, const FileRow &, const QString &reason) override
            {
                reasons.insert(position, reason);
            }
            QMap<int, QString> reasons;
        } observer;
        BatchOptions options;
        options.convert = true;
        Puzzle record;
        QTemporaryDir out;
        BatchRun run(rows, options, record, observer);
        run.setDestination(out.path());
        const BatchResult result = run.run();
        QVERIFY(!result.failure);
        QCOMPARE(result.progressValue, 1);
        QVERIFY(observer.reasons.value(1).contains(u"does not exist"_qs));
        QVERIFY(observer.reasons.value(2).contains(u"folder"_qs));
        QVERIFY(QFile::exists(QDir(out.path()).filePath(u"ok.puz.txt"_qs)));
    }
};

QTEST_GUILESS_MAIN(TestHostileInputs)
#include "tst_hostile_inputs.moc"
