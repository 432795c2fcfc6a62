#include "anyreader.h"

#include "ipuzreader.h"
#include "jpzreader.h"
#include "reader.h"

namespace norvale {

PuzzleFormat puzzleFormat(QByteArrayView bytes)
{
    if (bytes.size() >= 13 && bytes.sliced(2, 11) == QByteArrayView("ACROSS&DOWN"))
        return PuzzleFormat::Puz;
    QByteArrayView rest = bytes;
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    qsizetype start = 0;
    while (start < rest.size() && (rest[start] == ' ' || rest[start] == '\t' ||
                                   rest[start] == '\r' || rest[start] == '\n'))
        ++start;
    rest = rest.sliced(start);
    if (rest.startsWith('{') || rest.startsWith("ipuz("))
        return PuzzleFormat::Ipuz;
    if (rest.startsWith('<'))
        return PuzzleFormat::Xml;
    if (rest.startsWith("PK\x03\x04"))
        return PuzzleFormat::Zip;
    return PuzzleFormat::Puz;
}

ReadResult readAnyPuzzle(QByteArrayView bytes, const QString &fileName)
{
    switch (puzzleFormat(bytes)) {
    case PuzzleFormat::Ipuz:
        return readIpuz(bytes, fileName);
    case PuzzleFormat::Xml:
        return readJpz(bytes, fileName);
    case PuzzleFormat::Zip:
        return readZippedJpz(bytes, fileName);
    case PuzzleFormat::Puz:
        break;
    }
    return readPuzzle(bytes, fileName);
}

} // namespace norvale
