#include "thumbnailcommand.h"

#include "cli.h"
#include "print/thumbnail.h"
#include "puzzle/reader.h"

#include <QBuffer>
#include <QDir>
#include <QSaveFile>

namespace norvale::cli {

int writeThumbnail(const QString &size, const QString &input, const QString &output,
                   QTextStream &err)
{
    bool isNumber = false;
    const int pixels = size.toInt(&isNumber);
    if (!isNumber || pixels < 1 || pixels > kMaxThumbnailSize) {
        err << "norvale: --thumbnail needs a size from 1 to " << kMaxThumbnailSize
            << " pixels, not '" << size << "'" << Qt::endl;
        return ExitUsage;
    }

    const ReadResult read = readPuzzleFile(input);
    const QImage image = read.ok() ? renderThumbnail(*read.puzzle, pixels) : QImage();
    if (image.isNull()) {
        err << "norvale: " << QDir::toNativeSeparators(input) << ": not a readable puzzle: "
            << (read.ok() ? QStringLiteral("the puzzle has no grid") : read.error) << Qt::endl;
        return ExitUnreadable;
    }

    // Encoded first, so that the file is open only for one write.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QSaveFile file(output);
    if (!image.save(&buffer, "PNG") || !file.open(QIODevice::WriteOnly) ||
        file.write(png) != png.size() || !file.commit()) {
        err << "norvale: cannot write " << QDir::toNativeSeparators(output) << ": "
            << file.errorString() << Qt::endl;
        return ExitWriteFailed;
    }
    return ExitOk;
}

} // namespace norvale::cli
