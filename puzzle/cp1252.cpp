#include "cp1252.h"

namespace norvale {

namespace {
// 0x80..0x9F; the undefined positions hold their own value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QChar windows1252Char(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHigh[byte - 0x80]);
    return QChar(char16_t(byte));
}

QString decodeWindows1252(QByteArrayView bytes)
{
    // Windows-1252 is Latin-1 but for 0x80 to 0x9F: the fast Latin-1
    // conversion, then those few characters put right.
    QString out = QString::fromLatin1(bytes);
    for (QChar &ch : out) {
        const char16_t u = ch.unicode();
        if (u >= 0x80 && u <= 0x9F)
            ch = QChar(kHigh[u - 0x80]);
    }
    return out;
}

} // namespace norvale

namespace norvale {

QByteArray encodeWindows1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (kHigh[i] == u) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
            }
        }
        out.append(byte);
    }
    return out;
}

} // namespace norvale
