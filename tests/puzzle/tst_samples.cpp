#include "puzzle/reader.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>

using namespace norvale;

// The bundled samples are the writer's output for their sources, and read
// back as the sources say.
class TestSamples : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void samplesMatchSources()
    {
        const QDir sources(test::dataDir() + u"/../../tools/samples"_qs);
        const QStringList names = sources.entryList({u"*.txt"_qs}, QDir::Files);
        QVERIFY(names.size() >= 4);
        for (const QString &name : names) {
            puzwriter::PuzzleSource source;
            QString error;
            QVERIFY2(puzwriter::parseSource(QString::fromUtf8(test::readFile(sources.filePath(name))),
                                            &source, &error),
                     qPrintable(name + u": "_qs + error));
            const QString puz = test::dataDir() + u"/../../samples/"_qs
                                + QFileInfo(name).completeBaseName() + u".puz"_qs;
            QVERIFY2(test::readFile(puz) == puzwriter::write(source),
                     qPrintable(puz + u" is stale: build the update-samples target"_qs));
            const ReadResult r = readPuzzleFile(puz);
            QVERIFY(r.ok());
            QCOMPARE(r.puzzle->puz_title, source.title);
            QCOMPARE(r.puzzle->clue_a, source.across);
            QCOMPARE(r.puzzle->clue_d, source.down);
        }
    }
};

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"
