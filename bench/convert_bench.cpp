// Conversion throughput: the batch conversion of N generated puzzles
// (15x15 to 25x25) beside a baseline that only reads each input and writes
// two outputs of the same size, in the same way (atomically). Prints the
// times, the ratio and the peak memory.
//   convert_bench [N]   (default 10000)

#include "batch/batch.h"
#include "convert/convert.h"
#include "puzwriter/puzwriter.h"
#include "puzzle/reader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

using namespace norvale;

namespace {

QByteArray makePuzzle(QRandomGenerator &rng, int index)
{
    puzwriter::PuzzleSource s;
    const int size = 15 + index % 11;
    s.title = QStringLiteral("Generated puzzle %1").arg(index);
    s.author = QStringLiteral("Bench");
    for (int r = 0; r < size; ++r) {
        QString row;
        for (int c = 0; c < size; ++c)
            row += rng.bounded(7) == 0 ? u'.' : QChar(u'A' + rng.bounded(26));
        s.rows.append(row);
    }
    // More clues than words: the writer takes as many as the grid needs.
    for (int i = 0; i < size * size; ++i) {
        s.across.append(QStringLiteral("Across clue %1 of a realistic length, with a few words").arg(i));
        s.down.append(QStringLiteral("Down clue %1, about as long as a published clue is").arg(i));
    }
    return puzwriter::write(s);
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class Quiet : public BatchObserver {};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTextStream out(stdout);
    QTemporaryDir work;
    const QDir in(work.filePath(QStringLiteral("in")));
    QDir().mkpath(in.path());
    QRandomGenerator rng(42);
    QList<FileRow> rows;
    qint64 inputBytes = 0;
    for (int i = 0; i < n; ++i) {
        const QString name = QStringLiteral("p%1.puz").arg(i, 5, 10, QLatin1Char('0'));
        const QByteArray bytes = makePuzzle(rng, i);
        inputBytes += bytes.size();
        QFile f(in.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
        rows.append({name, name, in.path() + u'/'});
    }
    const long rssBefore = peakRssKb();

    // Baseline: read each input and write two outputs of the sizes the
    // conversion writes, with the same atomic writer.
    QList<QPair<qsizetype, qsizetype>> sizes;
    for (const FileRow &row : rows) {
        const ReadResult r = readPuzzleFile(row.path());
        sizes.append({crossBowText(*r.puzzle).size(), solutionText(*r.puzzle).size()});
    }
    const QString baseOut = work.filePath(QStringLiteral("base"));
    QDir().mkpath(baseOut);
    QElapsedTimer timer;
    timer.start();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QFile f(rows.at(i).path());
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray bytes = f.readAll();
        writeWholeFile(baseOut + u'/' + rows.at(i).name + u".txt"_qs, QByteArray(sizes.at(i).first, 'x'));
        writeWholeFile(baseOut + u'/' + rows.at(i).name + u".sol.txt"_qs,
                       QByteArray(sizes.at(i).second, bytes.isEmpty() ? 'y' : 'x'));
    }
    const qint64 baseMs = timer.elapsed();

    const QString convOut = work.filePath(QStringLiteral("conv"));
    QDir().mkpath(convOut);
    BatchOptions options;
    options.convert = options.generateSolutions = true;
    Puzzle record;
    Quiet quiet;
    BatchRun run(rows, options, record, quiet);
    run.setDestination(convOut);
    timer.restart();
    const BatchResult result = run.run();
    const qint64 convMs = timer.elapsed();
    if (result.failure || result.progressValue != n) {
        out << "conversion failed\n";
        return 1;
    }

    out << "entries: " << n << ", input " << inputBytes / 1024 << " KiB\n"
        << "baseline (read + two atomic writes): " << baseMs << " ms, "
        << double(baseMs) * 1000.0 / n << " us/entry\n"
        << "conversion: " << convMs << " ms, " << double(convMs) * 1000.0 / n << " us/entry\n"
        << "ratio conversion/baseline: " << double(convMs) / double(qMax<qint64>(1, baseMs)) << "\n"
        << "peak RSS: " << peakRssKb() / 1024 << " MiB (after generating the inputs: "
        << rssBefore / 1024 << " MiB)\n";
    return 0;
}
