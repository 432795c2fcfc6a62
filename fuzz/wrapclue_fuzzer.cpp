// Wraps arbitrary clue texts: every break must follow a space, every
// continuation line starts with the seven-space indent, and removing the
// breaks gives back the text.
#include "print/layout.h"

#include <cstdlib>

using namespace norvale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    if (text.contains(u'\n'))
        return 0;
    const QString indent = QStringLiteral("       ");
    const QString wrapped = WrapClue(text, 33);
    const QStringList lines = wrapped.split(u'\n');
    QString rebuilt;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (i > 0) {
            if (!line.startsWith(indent))
                std::abort();
            line.remove(0, indent.size());
        }
        if (i + 1 < lines.size() && !line.endsWith(u' '))
            std::abort();
        rebuilt += line;
    }
    if (rebuilt != text)
        std::abort();
    return 0;
}
