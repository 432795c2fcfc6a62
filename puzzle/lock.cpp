#include "lock.h"

#include <QHash>
#include <QMutex>

#include <array>
#include <vector>

namespace norvale::lock {

namespace {

using Digits = std::array<int, 4>;

Digits digitsOf(int key)
{
    return {key / 1000 % 10, key / 100 % 10, key / 10 % 10, key % 10};
}

bool validKey(int key)
{
    return key >= 1000 && key <= 9999;
}

// Letters as 0..25; false when one is not a capital letter.
bool toLetterValues(QByteArrayView letters, std::vector<quint8> &out)
{
    out.resize(size_t(letters.size()));
    for (qsizetype j = 0; j < letters.size(); ++j) {
        const char c = letters[j];
        if (c < 'A' || c > 'Z')
            return false;
        out[size_t(j)] = quint8(c - 'A');
    }
    return true;
}

QByteArray fromLetterValues(const std::vector<quint8> &values)
{
    QByteArray out(qsizetype(values.size()), Qt::Uninitialized);
    for (size_t j = 0; j < values.size(); ++j)
        out[qsizetype(j)] = char('A' + values[j]);
    return out;
}

// Where unscrambling's "odd positions, then even positions" takes each
// letter from: the first floor(n/2) come from positions 1, 3, 5, ..., the
// rest from 0, 2, 4, ...
std::vector<size_t> deinterleaveSources(size_t n)
{
    std::vector<size_t> from(n);
    const size_t half = n / 2;
    for (size_t m = 0; m < half; ++m)
        from[m] = 2 * m + 1;
    for (size_t m = 0; half + m < n; ++m)
        from[half + m] = 2 * m;
    return from;
}

} // namespace

quint16 checksum(QByteArrayView data, quint16 sum)
{
    for (const char ch : data) {
        sum = (sum & 1) ? quint16((sum >> 1) | 0x8000) : quint16(sum >> 1);
        sum = quint16(sum + static_cast<unsigned char>(ch));
    }
    return sum;
}

QByteArray scramble(QByteArrayView letters, int key)
{
    std::vector<quint8> s;
    if (!validKey(key) || !toLetterValues(letters, s))
        return {};
    const Digits k = digitsOf(key);
    const size_t n = s.size();
    std::vector<quint8> t(n);
    for (int i = 0; i < 4 && n > 0; ++i) {
        for (size_t j = 0; j < n; ++j)
            s[j] = quint8((s[j] + k[j % 4]) % 26);
        const size_t r = size_t(k[size_t(i)]) % n;
        for (size_t j = 0; j < n; ++j)
            t[j] = s[(j + r) % n];
        // Interleave: back[0], front[0], back[1], front[1], ...
        const size_t half = n / 2;
        for (size_t m = 0; m < half; ++m) {
            s[2 * m] = t[half + m];
            s[2 * m + 1] = t[m];
        }
        if (n % 2)
            s[n - 1] = t[n - 1];
    }
    return fromLetterValues(s);
}

QByteArray unscramble(QByteArrayView letters, int key)
{
    std::vector<quint8> s;
    if (!validKey(key) || !toLetterValues(letters, s))
        return {};
    const Digits k = digitsOf(key);
    const size_t n = s.size();
    const std::vector<size_t> from = deinterleaveSources(n);
    std::vector<quint8> t(n);
    for (int i = 3; i >= 0 && n > 0; --i) {
        for (size_t j = 0; j < n; ++j)
            t[j] = s[from[j]];
        const size_t r = size_t(k[size_t(i)]) % n;
        for (size_t j = 0; j < n; ++j)
            s[(j + r) % n] = t[j];
        for (size_t j = 0; j < n; ++j)
            s[j] = quint8((s[j] + 26 - k[j % 4]) % 26);
    }
    return fromLetterValues(s);
}

namespace {

// The search's results for the grids seen last: a run reads each entry once
// per pass, and the search is by far the dearest part of reading a locked
// puzzle.
class UnlockMemo {
public:
    static QByteArray key(QByteArrayView scrambled, quint16 sum)
    {
        QByteArray k = scrambled.toByteArray();
        k.append(char(sum & 0xFF));
        k.append(char(sum >> 8));
        return k;
    }
    bool find(const QByteArray &k, std::optional<Unlocked> *out)
    {
        const QMutexLocker lock(&m_mutex);
        const auto found = m_results.constFind(k);
        if (found == m_results.cend())
            return false;
        *out = *found;
        return true;
    }
    void insert(const QByteArray &k, const std::optional<Unlocked> &result)
    {
        const QMutexLocker lock(&m_mutex);
        if (m_results.size() >= kEntries)
            m_results.clear();
        m_results.insert(k, result);
    }

private:
    static constexpr qsizetype kEntries = 64;
    QMutex m_mutex;
    QHash<QByteArray, std::optional<Unlocked>> m_results;
};

UnlockMemo &memo()
{
    static UnlockMemo instance;
    return instance;
}

std::optional<Unlocked> search(QByteArrayView scrambled, quint16 storedChecksum);

} // namespace

std::optional<Unlocked> unlock(QByteArrayView scrambled, quint16 storedChecksum)
{
    const QByteArray k = UnlockMemo::key(scrambled, storedChecksum);
    std::optional<Unlocked> result;
    if (memo().find(k, &result))
        return result;
    result = search(scrambled, storedChecksum);
    memo().insert(k, result);
    return result;
}

namespace {

std::optional<Unlocked> search(QByteArrayView scrambled, quint16 storedChecksum)
{
    std::vector<quint8> source;
    if (scrambled.isEmpty() || scrambled.size() > kMaxUnlockLetters ||
        !toLetterValues(scrambled, source))
        return std::nullopt;
    const size_t n = source.size();

    // One unscrambling round takes letter j from map[r][j] of the previous
    // round (the de-interleaving followed by the right rotation by r, for
    // each digit r), then subtracts the key's digit for j mod 4. The maps
    // are worked out once, so each key costs four gathers and a checksum.
    // Letters start 52 above their value, so that four subtractions of at
    // most 9 never go below zero and no round needs a "mod 26" of its own.
    const std::vector<size_t> from = deinterleaveSources(n);
    std::array<std::vector<quint16>, 10> map;
    for (size_t r = 0; r < 10; ++r) {
        map[r].resize(n + 3);
        for (size_t j = 0; j < n; ++j)
            map[r][j] = quint16(from[(j + n - r % n) % n]);
    }
    constexpr int kLift = 52;
    std::array<quint8, kLift + 26> letterOf{};
    for (int x = 0; x < kLift + 26; ++x)
        letterOf[size_t(x)] = quint8('A' + x % 26);
    // Room for the unrolled loops to run up to three places past the end.
    std::vector<quint8> lifted(n + 3, kLift), a(n + 3), b(n + 3);
    for (size_t j = 0; j < n; ++j)
        lifted[j] = quint8(source[j] + kLift);

    std::optional<Unlocked> best;
    int bestRare = 0;
    for (int key = 1000; key <= 9999; ++key) {
        const Digits k = digitsOf(key);
        const quint8 d0 = quint8(k[0]), d1 = quint8(k[1]), d2 = quint8(k[2]), d3 = quint8(k[3]);
        const quint8 *in = lifted.data();
        for (int i = 3; i > 0; --i) {
            const quint16 *m = map[size_t(k[size_t(i)])].data();
            quint8 *out = (i % 2) ? a.data() : b.data();
            for (size_t j = 0; j < n; j += 4) {
                out[j] = quint8(in[m[j]] - d0);
                out[j + 1] = quint8(in[m[j + 1]] - d1);
                out[j + 2] = quint8(in[m[j + 2]] - d2);
                out[j + 3] = quint8(in[m[j + 3]] - d3);
            }
            in = out;
        }
        // The last round feeds the checksum directly.
        const quint16 *m = map[size_t(k[0])].data();
        const quint8 d[4] = {d0, d1, d2, d3};
        quint16 sum = 0;
        for (size_t j = 0; j < n; ++j) {
            const quint8 letter = letterOf[size_t(in[m[j]] - d[j % 4])];
            // Rotated in 16 bits before the letter is added: in int, the
            // rotation and the sum could overflow.
            sum = quint16(quint16((sum >> 1) | (sum << 15)) + letter);
        }
        if (sum != storedChecksum)
            continue;
        const QByteArray letters = unscramble(scrambled, key);
        int rare = 0;
        for (const char c : letters)
            rare += c == 'J' || c == 'Q' || c == 'X' || c == 'Z';
        if (!best || rare < bestRare) {
            best = Unlocked{key, letters};
            bestRare = rare;
        }
    }
    return best;
}

} // namespace

} // namespace norvale::lock
