// Conversion throughput. For N generated puzzles (15x15 to 25x25) it times,
// in one run and on the same inputs:
//   baseline   the physical floor: read each input, write two files of the
//              sizes the conversion writes with plain write(), one syncfs()
//              at the end
//   norvale    the batch conversion with solution files (group commit)
//   per-file   the conversion with the per-file durable writer it had
//              before group commit (QSaveFile: one fdatasync per file)
// Each is run R times; the medians, the ratios to the baseline and the peak
// memory are printed.
//   convert_bench [--dir DIR] [--repeat R] [N ...]   (default: N = 1000 10000, R = 3,
//                                                     DIR: a temporary folder)

#include "batch/batch.h"
#include "convert/convert.h"
#include "puzwriter/puzwriter.h"
#include "puzzle/reader.h"

#include <QCoreApplication>

#include <cstdio>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

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
        s.across.append(
            QStringLiteral("Across clue %1 of a realistic length, with a few words").arg(i));
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

// Everything written so far on the file system of folder goes to disk, so
// that no measurement pays for the one before it.
void settle(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

bool writePlain(const QByteArray &path, const char *data, qsizetype size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, data, size_t(size)) == ssize_t(size);
    return ::close(fd) == 0 && ok;
}

// The writer of before: each file on its own, durable before the next.
bool writeDurably(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           file.write(bytes) == bytes.size() && file.commit();
}

class Quiet : public BatchObserver {};

// Milliseconds of processor time (user and system) this process has used.
qint64 cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// Wall-clock and processor times of the runs of one kind.
struct Times {
    QList<qint64> wall, cpu;
};

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString base;
    int repeat = 3;
    QList<int> sizes;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == u"--dir" && !args.isEmpty())
            base = args.takeFirst();
        else if (a == u"--repeat" && !args.isEmpty())
            repeat = qMax(1, args.takeFirst().toInt());
        else {
            bool ok = false;
            const int n = a.toInt(&ok);
            if (!ok || n < 1) {
                std::fprintf(stderr, "usage: convert_bench [--dir DIR] [--repeat R] [N ...]\n");
                return 2;
            }
            sizes.append(n);
        }
    }
    if (sizes.isEmpty())
        sizes = {1000, 10000};
    QTextStream out(stdout);
    QTemporaryDir work(base.isEmpty() ? QDir::tempPath() + u"/convert_bench-XXXXXX"_qs
                                      : base + u"/convert_bench-XXXXXX"_qs);
    if (!work.isValid()) {
        out << "cannot create a work folder\n";
        return 1;
    }
    out << "work folder: " << work.path() << ", medians of " << repeat << " runs\n";
    out.flush();

    for (const int n : sizes) {
        QDir in(work.filePath(QStringLiteral("in%1").arg(n)));
        QDir().mkpath(in.path());
        QRandomGenerator rng(42);
        QList<FileRow> rows;
        for (int i = 0; i < n; ++i) {
            const QString name = QStringLiteral("p%1.puz").arg(i, 5, 10, QLatin1Char('0'));
            const QByteArray bytes = makePuzzle(rng, i);
            QFile f(in.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                return 1;
            rows.append({name, name, in.path() + u'/'});
        }
        // The sizes of the two outputs of each entry, for the baseline.
        QList<QPair<qsizetype, qsizetype>> outputSizes;
        qsizetype largest = 0;
        for (const FileRow &row : rows) {
            const ReadResult r = readPuzzleFile(row.path());
            outputSizes.append({crossBowText(*r.puzzle).size(), solutionText(*r.puzzle).size()});
            largest = std::max({largest, outputSizes.last().first, outputSizes.last().second});
        }
        const QByteArray filler(largest, 'x');
        QByteArray inputBuffer(1 << 20, Qt::Uninitialized);

        const auto baseline = [&](const QString &folder) {
            const QByteArray dir = QFile::encodeName(folder) + '/';
            for (qsizetype i = 0; i < rows.size(); ++i) {
                const int fd =
                    ::open(QFile::encodeName(rows.at(i).path()).constData(), O_RDONLY | O_CLOEXEC);
                if (fd < 0)
                    return false;
                while (::read(fd, inputBuffer.data(), size_t(inputBuffer.size())) > 0) {
                }
                ::close(fd);
                const QByteArray name = QFile::encodeName(rows.at(i).name);
                if (!writePlain(dir + name + ".txt", filler.constData(), outputSizes.at(i).first) ||
                    !writePlain(dir + name + ".sol.txt", filler.constData(),
                                outputSizes.at(i).second))
                    return false;
            }
            const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
            const bool synced = dirFd >= 0 && ::syncfs(dirFd) == 0;
            ::close(dirFd);
            return synced;
        };
        const auto norvale = [&](const QString &folder) {
            BatchOptions options;
            options.convert = options.generateSolutions = true;
            Puzzle record;
            Quiet quiet;
            BatchRun run(rows, options, record, quiet);
            run.setDestination(folder);
            const BatchResult result = run.run();
            return !result.failure && result.progressValue == n;
        };
        const auto perFile = [&](const QString &folder) {
            const QDir dir(folder);
            for (const FileRow &row : rows) {
                const ReadResult r = readPuzzleFile(row.path());
                if (!r.ok() ||
                    !writeDurably(dir.filePath(crossBowFileName(*r.puzzle)),
                                  crossBowText(*r.puzzle)) ||
                    !writeDurably(dir.filePath(solutionFileName(*r.puzzle)),
                                  solutionText(*r.puzzle)))
                    return false;
            }
            return true;
        };

        Times baselineTimes, norvaleTimes, perFileTimes;
        // Each run writes into a folder of its own, and nothing is deleted
        // until all runs of this N are done: on ext4 the allocation of new
        // inodes slows down next to many just deleted, which would burden
        // whichever kind of run came after a deletion.
        int runs = 0;
        const auto measure = [&](const std::function<bool(const QString &)> &what, Times &into) {
            const QString folder = work.filePath(QStringLiteral("out%1-%2").arg(n).arg(++runs));
            QDir().mkpath(folder);
            settle(folder);
            const qint64 cpuBefore = cpuMs();
            QElapsedTimer timer;
            timer.start();
            const bool ok = what(folder);
            into.wall.append(timer.elapsed());
            into.cpu.append(cpuMs() - cpuBefore);
            return ok;
        };
        struct Kind {
            std::function<bool(const QString &)> run;
            Times *times;
        };
        const QList<Kind> kinds = {
            {baseline, &baselineTimes}, {norvale, &norvaleTimes}, {perFile, &perFileTimes}};
        for (int r = 0; r < repeat; ++r) {
            // The order turns from one repetition to the next.
            for (qsizetype k = 0; k < kinds.size(); ++k) {
                const Kind &kind = kinds.at((k + r) % kinds.size());
                if (!measure(kind.run, *kind.times)) {
                    out << "a run failed\n";
                    return 1;
                }
            }
        }
        for (int i = 1; i <= runs; ++i)
            QDir(work.filePath(QStringLiteral("out%1-%2").arg(n).arg(i))).removeRecursively();
        const qint64 b = qMax<qint64>(1, median(baselineTimes.wall));
        const auto line = [&](const char *label, const Times &times) {
            const qint64 m = median(times.wall);
            out << QStringLiteral("  %1 %2 ms  %3 us/entry  %4 x baseline  (processor %5 ms)\n")
                       .arg(QString::fromLatin1(label), -10)
                       .arg(m, 7)
                       .arg(double(m) * 1000.0 / n, 8, 'f', 1)
                       .arg(double(m) / double(b), 5, 'f', 2)
                       .arg(median(times.cpu), 6);
        };
        out << "N = " << n << " (2 outputs each):\n";
        line("baseline", baselineTimes);
        line("norvale", norvaleTimes);
        line("per-file", perFileTimes);
        out << "  peak RSS so far: " << peakRssKb() / 1024 << " MiB\n";
        out.flush();
        in.removeRecursively();
    }
    return 0;
}
