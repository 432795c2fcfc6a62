#pragma once

#include <QString>
#include <QTextStream>

namespace norvale::cli {

// norvale --thumbnail SIZE INPUT OUTPUT: writes the PNG picture of the
// puzzle's empty grid, SIZE pixels on its longer side, to OUTPUT. Needs no
// application object and no display. Returns ExitOk, ExitUsage for a bad
// size, ExitUnreadable when INPUT is not a readable puzzle and
// ExitWriteFailed when OUTPUT cannot be written; OUTPUT is written whole
// or not at all.
int writeThumbnail(const QString &size, const QString &input, const QString &output,
                   QTextStream &err);

} // namespace norvale::cli
