#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Locked solutions: a .puz file may store its solution letters scrambled
// with a four-digit key, together with the checksum of the correct letters.
// The letters are taken column by column (top to bottom, columns left to
// right, black squares skipped); scrambling works on that string of A-Z.
namespace norvale::lock {

// The running checksum of the .puz format: rotate the 16-bit sum right by
// one bit, then add the next byte.
quint16 checksum(QByteArrayView data, quint16 sum = 0);

// Scrambles (unscrambles) a string of capital letters A-Z with a key from
// 1000 to 9999. Letters outside A-Z give an empty result.
QByteArray scramble(QByteArrayView letters, int key);
QByteArray unscramble(QByteArrayView letters, int key);

struct Unlocked {
    int key = 0;
    QByteArray letters;
};

// Tries every key from 1000 to 9999 on the scrambled letters and keeps those
// whose letters give the stored checksum; of several, the one whose letters
// hold the fewest J, Q, X and Z, then the smallest key. Nothing when no key
// fits or the letters are not all A-Z.
std::optional<Unlocked> unlock(QByteArrayView scrambled, quint16 storedChecksum);

// Longest string of letters unlock() works on: a hostile file must not be
// able to make a run spend seconds on one grid.
inline constexpr qsizetype kMaxUnlockLetters = 2500;

} // namespace norvale::lock
