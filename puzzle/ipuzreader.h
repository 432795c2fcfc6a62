#pragma once

#include "reader.h"

#include <QByteArrayView>
#include <QString>

namespace norvale {

// Reads an ipuz crossword (JSON; also in its "ipuz(...)" wrapping) into the
// record the .puz reader fills for the same puzzle. Takes the crossword
// kinds (http://ipuz.org/crossword#1 and its later and derived kinds),
// "dimensions", the "puzzle" labels ("#" or the "block" value black, null an
// omitted square, shown black; 0 or the "empty" value unlabelled; a cell
// object's "cell" and its style's shapebg "circle"), the "solution" (a
// letter, a longer rebus answer, an object's "value"), the "Across" and
// "Down" clues (also "Across:Label"; [number, text] or an object with
// "number" and "clue"), title, author, copyright and notes, their mark-up
// removed. Refuses other kinds, malformed JSON, grids whose rows disagree
// with the dimensions, and clue numbers or labels that are not numbers.
ReadResult readIpuz(QByteArrayView bytes, const QString &fileName);

} // namespace norvale
