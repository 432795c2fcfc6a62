// Unlocking speed: finding the key of a locked 15x15 and 21x21 puzzle, beside
// a baseline that is the floor of any search over the 9,000 keys: 9,000
// checksums of as many letters, with no unscrambling at all. Also times
// reading the whole locked file, unlocking included. Prints the medians of
// RUNS runs in ms and the ratio to the baseline.
//   unlock_bench [RUNS]   (default 21)

#include "puzwriter/puzwriter.h"
#include "puzzle/lock.h"
#include "puzzle/reader.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace norvale;

namespace {

// A published-size grid: about one square in six black, random letters.
puzwriter::PuzzleSource lockedPuzzle(int size, int key)
{
    QRandomGenerator random{quint32(size)};
    puzwriter::PuzzleSource s;
    s.title = QStringLiteral("Locked %1 x %1").arg(size);
    for (int r = 0; r < size; ++r) {
        QString row;
        for (int c = 0; c < size; ++c)
            row += random.bounded(6) == 0 ? QChar(u'.') : QChar(u'A' + random.bounded(26));
        s.rows.append(row);
    }
    for (int i = 0; i < size * size; ++i) {
        s.across.append(QStringLiteral("Across %1").arg(i));
        s.down.append(QStringLiteral("Down %1").arg(i));
    }
    s.lockKey = key;
    return s;
}

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

volatile quint32 g_sink = 0;

// The floor: one pass of the .puz checksum over n letters per key. Each pass
// starts from its own value so that none can be skipped or merged.
void checksumsOnly(const QByteArray &letters)
{
    quint32 all = 0;
    for (quint32 key = 1000; key <= 9999; ++key) {
        quint16 sum = quint16(key);
        for (const char ch : letters)
            sum = quint16(quint16((sum >> 1) | (sum << 15)) + static_cast<unsigned char>(ch));
        all += sum;
    }
    g_sink = all;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    std::printf("%-8s %7s %12s %12s %8s %12s\n", "grid", "letters", "unlock ms", "floor ms",
                "ratio", "read ms");
    for (const int size : {15, 21}) {
        const int key = 7562;
        const puzwriter::PuzzleSource source = lockedPuzzle(size, key);
        // The white squares' letters; the order they are taken in does not
        // change the cost.
        const QByteArray letters = source.rows.join(QString()).remove(u'.').toLatin1();
        const QByteArray scrambled = lock::scramble(letters, key);
        const quint16 stored = lock::checksum(letters);
        const QByteArray file = puzwriter::write(source);

        const auto unlocked = lock::unlock(scrambled, stored);
        const ReadResult read = readPuzzle(file, QStringLiteral("locked.puz"));
        if (!unlocked || lock::checksum(unlocked->letters) != stored || !read.ok() ||
            !read.puzzle->solutionKnown) {
            std::fprintf(stderr, "unlock_bench: the %dx%d puzzle does not unlock\n", size, size);
            return 1;
        }

        const double unlockMs =
            medianMs(runs, [&] { g_sink = quint32(lock::unlock(scrambled, stored)->key); });
        const double floorMs = medianMs(runs, [&] { checksumsOnly(letters); });
        const double readMs = medianMs(runs, [&] {
            g_sink = quint32(readPuzzle(file, QStringLiteral("locked.puz")).puzzle->unlockKey);
        });
        std::printf("%2dx%-5d %7lld %12.3f %12.3f %8.2f %12.3f\n", size, size,
                    static_cast<long long>(letters.size()), unlockMs, floorMs, unlockMs / floorMs,
                    readMs);
    }
    return 0;
}
