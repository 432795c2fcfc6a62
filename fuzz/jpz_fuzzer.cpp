// Feeds arbitrary bytes to the jpz readers, the XML one and, for inputs
// that start like a ZIP archive, the archive one: they must refuse or yield
// a record whose parts agree with each other.
#include "puzzle/jpzreader.h"
#include "record_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const QString name = QStringLiteral("fuzz.jpz");
    norvale::fuzz::checkResult(bytes.startsWith("PK") ? norvale::readZippedJpz(bytes, name)
                                                      : norvale::readJpz(bytes, name));
    return 0;
}
