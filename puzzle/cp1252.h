#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace norvale {

// Windows-1252 to Unicode. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of the same value,
// so no byte is ever lost or replaced.
QString decodeWindows1252(QByteArrayView bytes);

// One byte of a solution grid as a printable character.
QChar windows1252Char(unsigned char byte);

} // namespace norvale

namespace norvale {

// Unicode to Windows-1252, the inverse of decodeWindows1252; characters the
// code page cannot hold become '?'.
QByteArray encodeWindows1252(const QString &text);

} // namespace norvale
