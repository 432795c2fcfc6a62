// Feeds arbitrary bytes to the puzzle reader: it must refuse or yield a
// record whose parts agree with each other.
#include "record_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    norvale::fuzz::checkResult(norvale::readPuzzle(bytes, QStringLiteral("fuzz.puz")));
    return 0;
}
