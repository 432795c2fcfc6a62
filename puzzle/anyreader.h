#pragma once

#include <QByteArrayView>

namespace norvale {

// The kinds of puzzle file Norvale reads, as their content tells them.
enum class PuzzleFormat { Puz, Ipuz, Xml, Zip };

// Which reader a file's bytes go to. A file with the .puz signature at its
// usual place is a .puz file whatever its first bytes (they are a checksum
// and may be anything). Otherwise, after an optional UTF-8 byte-order mark
// and white space: "{" (or "ipuz(") is ipuz, "<" is XML (jpz), "PK\3\4" a
// ZIP archive; anything else goes to the .puz reader.
PuzzleFormat puzzleFormat(QByteArrayView bytes);

} // namespace norvale
