#include "puzzle/lock.h"
#include "testsupport.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

#include <algorithm>

using namespace norvale;

namespace {

QByteArray randomLetters(qsizetype n, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray out(n, Qt::Uninitialized);
    for (char &c : out)
        c = char('A' + random.bounded(26));
    return out;
}

int rareLetters(QByteArrayView letters)
{
    return int(std::count_if(letters.begin(), letters.end(),
                             [](char c) { return c == 'J' || c == 'Q' || c == 'X' || c == 'Z'; }));
}

const QList<int> kKeys = {1000, 1234, 5050, 7562, 9999};

} // namespace

class TestLock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data()
    {
        QTest::addColumn<int>("length");
        for (const int n : {1, 2, 3, 7, 8, 189, 225, 2500})
            QTest::addRow("%d letters", n) << n;
    }

    void roundTrip()
    {
        QFETCH(int, length);
        const QByteArray letters = randomLetters(length, quint32(length));
        for (const int key : kKeys) {
            const QByteArray scrambled = lock::scramble(letters, key);
            QCOMPARE(scrambled.size(), letters.size());
            QCOMPARE(lock::unscramble(scrambled, key), letters);
            QCOMPARE(lock::scramble(lock::unscramble(letters, key), key), letters);
        }
    }

    void refusedInput_data()
    {
        QTest::addColumn<QByteArray>("letters");
        QTest::addColumn<int>("key");
        QTest::newRow("small letter") << QByteArray("ABc") << 1234;
        QTest::newRow("digit") << QByteArray("AB1") << 1234;
        QTest::newRow("space") << QByteArray("A B") << 1234;
        QTest::newRow("black square") << QByteArray("AB.") << 1234;
        QTest::newRow("byte above 127") << QByteArray("A\xc4") << 1234;
        QTest::newRow("key 999") << QByteArray("ABC") << 999;
        QTest::newRow("key 10000") << QByteArray("ABC") << 10000;
        QTest::newRow("key 0") << QByteArray("ABC") << 0;
        QTest::newRow("negative key") << QByteArray("ABC") << -1234;
    }

    void refusedInput()
    {
        QFETCH(QByteArray, letters);
        QFETCH(int, key);
        QCOMPARE(lock::scramble(letters, key), QByteArray());
        QCOMPARE(lock::unscramble(letters, key), QByteArray());
        if (key == 1234)
            QVERIFY(!lock::unlock(letters, lock::checksum(letters)));
    }

    // The locked solution of a published file: its letters, taken column by
    // column, unscramble with the file's key to letters that give the stored
    // checksum and read as the real first row; scrambling them again gives
    // the file's letters back.
    void publishedFile()
    {
        const QByteArray file = test::readFile(test::dataDir() + u"/nyt_weekday_with_notes.puz"_qs);
        QVERIFY(!file.isEmpty());
        const int width = static_cast<unsigned char>(file.at(0x2C));
        const int height = static_cast<unsigned char>(file.at(0x2D));
        const QByteArray grid = file.mid(0x34, width * height);
        QByteArray letters;
        QList<qsizetype> cells;
        for (int c = 0; c < width; ++c) {
            for (int r = 0; r < height; ++r) {
                if (grid.at(r * width + c) != '.') {
                    letters += grid.at(r * width + c);
                    cells.append(r * width + c);
                }
            }
        }
        const quint16 stored = qFromLittleEndian<quint16>(file.constData() + 0x1E);
        const QByteArray plain = lock::unscramble(letters, 7562);
        QCOMPARE(lock::checksum(plain), stored);
        QCOMPARE(lock::scramble(plain, 7562), letters);
        QByteArray solved = grid;
        for (qsizetype j = 0; j < cells.size(); ++j)
            solved[cells.at(j)] = plain.at(j);
        QCOMPARE(solved.left(width), QByteArray("PASODOBLE..GRUB"));

        const auto unlocked = lock::unlock(letters, stored);
        QVERIFY(unlocked);
        QCOMPARE(unlocked->key, 7562);
        QCOMPARE(unlocked->letters, plain);
    }

    // unlock() against a brute-force reference: every key's unscrambled
    // letters and their checksum, grouped by checksum. For a stored checksum
    // the answer is, of the keys in its group, the one with the fewest J, Q,
    // X and Z, then the smallest. Tried for the checksum of the true letters,
    // one that several keys give, one where the fewer-JQXZ key is not the
    // smallest, and one that no key gives.
    void unlockAgainstReference_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("rareDecides"); // a group exists where JQXZ beat the smaller key
        QTest::newRow("1 letter") << 1 << 4321 << false;
        QTest::newRow("2 letters") << 2 << 9999 << true;
        QTest::newRow("3 letters") << 3 << 1000 << true;
        QTest::newRow("50 letters") << 50 << 7562 << true;
        QTest::newRow("15x15 white squares") << 189 << 2468 << true;
    }

    void unlockAgainstReference()
    {
        QFETCH(int, length);
        QFETCH(int, key);
        QFETCH(bool, rareDecides);
        const QByteArray truth = randomLetters(length, quint32(key));
        const QByteArray scrambled = lock::scramble(truth, key);

        QHash<quint16, QList<int>> keysBySum; // keys in rising order
        QHash<int, QByteArray> lettersOf;
        for (int k = 1000; k <= 9999; ++k) {
            lettersOf[k] = lock::unscramble(scrambled, k);
            keysBySum[lock::checksum(lettersOf[k])].append(k);
        }
        const auto expectedKey = [&](quint16 sum) {
            const QList<int> &keys = keysBySum[sum];
            return *std::min_element(keys.begin(), keys.end(), [&](int a, int b) {
                return rareLetters(lettersOf[a]) < rareLetters(lettersOf[b]);
            });
        };

        QList<quint16> sums = {lock::checksum(truth)};
        std::optional<quint16> shared, rare;
        for (auto it = keysBySum.cbegin(); it != keysBySum.cend(); ++it) {
            if (it->size() < 2)
                continue;
            if (!shared)
                shared = it.key();
            if (!rare && expectedKey(it.key()) != it->first())
                rare = it.key();
        }
        QVERIFY2(shared, "no checksum that two keys give");
        sums.append(*shared);
        QCOMPARE(bool(rare), rareDecides);
        if (rare)
            sums.append(*rare);
        for (const quint16 sum : std::as_const(sums)) {
            const auto unlocked = lock::unlock(scrambled, sum);
            QVERIFY(unlocked);
            QCOMPARE(unlocked->key, expectedKey(sum));
            QCOMPARE(unlocked->letters, lettersOf[unlocked->key]);
        }

        quint16 unused = 0;
        while (keysBySum.contains(unused))
            ++unused;
        QVERIFY(!lock::unlock(scrambled, unused));
    }

    // The longest string unlock() works on, and one letter more.
    void unlockLimit()
    {
        const QByteArray truth = randomLetters(lock::kMaxUnlockLetters + 1, 2500);
        const QByteArray longest = truth.left(lock::kMaxUnlockLetters);
        const auto unlocked = lock::unlock(lock::scramble(longest, 8642), lock::checksum(longest));
        QVERIFY(unlocked);
        QCOMPARE(unlocked->letters, longest);
        QVERIFY(!lock::unlock(lock::scramble(truth, 8642), lock::checksum(truth)));
        QVERIFY(!lock::unlock(QByteArrayView(), 0));
    }
};

QTEST_GUILESS_MAIN(TestLock)
#include "tst_lock.moc"
