#include "reader.h"

#include "cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

namespace {

constexpr QByteArrayView kSignature = "ACROSS&DOWN";
constexpr qsizetype kSignatureOffset = 0x02;
constexpr qsizetype kVersionOffset = 0x18;
constexpr qsizetype kWidthOffset = 0x2C;
constexpr qsizetype kHeightOffset = 0x2D;
constexpr qsizetype kSolutionOffset = 0x34;

// Texts of files that declare version 2.x are UTF-8; older files, and 2.x
// files whose text is not valid UTF-8, are Windows-1252.
QString decodeText(QByteArrayView field, bool utf8)
{
    if (utf8) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(field);
        if (!decoder.hasError())
            return text;
    }
    return decodeWindows1252(field);
}

enum class Direction { Across, Down };
struct Word {
    Direction direction;
    qint32 number;
};

} // namespace

ReadResult readPuzzle(QByteArrayView bytes, const QString &fileName)
{
    ReadResult result;

    // Some distributed files carry a preamble before the header; the header
    // is then read relative to the first signature found.
    qsizetype base = 0;
    if (bytes.size() < kSignatureOffset + kSignature.size() ||
        bytes.sliced(kSignatureOffset, kSignature.size()) != kSignature) {
        const qsizetype at = bytes.indexOf(kSignature, kSignatureOffset);
        if (at < 0) {
            result.error = QStringLiteral("no ACROSS&DOWN signature");
            return result;
        }
        base = at - kSignatureOffset;
    }
    const QByteArrayView file = bytes.sliced(base);

    if (file.size() < kSolutionOffset) {
        result.error =
            QStringLiteral("the file ends inside its header (%1 bytes)").arg(file.size());
        return result;
    }
    const int width = static_cast<unsigned char>(file[kWidthOffset]);
    const int height = static_cast<unsigned char>(file[kHeightOffset]);
    const qsizetype cells = qsizetype(width) * height;
    if (file.size() < kSolutionOffset + 2 * cells) {
        result.error =
            QStringLiteral("the file ends before its %1 x %2 grids (%3 bytes, %4 needed)")
                .arg(width)
                .arg(height)
                .arg(file.size())
                .arg(kSolutionOffset + 2 * cells);
        return result;
    }
    const bool utf8 = file.sliced(kVersionOffset, 2) == QByteArrayView("2.");

    Puzzle p;
    p.width = width;
    p.height = height;
    p.gridBytes = file.sliced(kSolutionOffset, cells).toByteArray();

    // The text fields, each ended by a zero byte: title, author, copyright,
    // then one clue per word, the notes and whatever else the file carries.
    const QByteArrayView texts = file.sliced(kSolutionOffset + 2 * cells);
    QList<QByteArrayView> fields;
    {
        qsizetype start = 0;
        for (;;) {
            const qsizetype zero = texts.indexOf('\0', start);
            if (zero < 0) {
                fields.append(texts.sliced(start));
                break;
            }
            fields.append(texts.sliced(start, zero - start));
            start = zero + 1;
        }
    }
    auto field = [&](qsizetype k) {
        return k < fields.size() ? decodeText(fields.at(k), utf8) : QString();
    };
    // Texts that will be printed and converted are kept to a sane length: a
    // field of megabytes is no title or clue, and would tie up the layout.
    auto tooLong = [&](qsizetype k) {
        return k < fields.size() && fields.at(k).size() > kMaxTextFieldBytes;
    };
    for (qsizetype k = 0; k < 3; ++k) {
        if (tooLong(k)) {
            result.error = QStringLiteral("text field %1 is longer than %2 bytes")
                               .arg(k + 1)
                               .arg(kMaxTextFieldBytes);
            return result;
        }
    }
    p.puz_title = field(0);
    p.author = field(1);
    p.copyright = field(2);
    const qsizetype clueTexts = fields.size() > 3 ? fields.size() - 3 : 0;

    // Numbering walk in reading order. A cell starts an across (down) word
    // when the edge or a black square is before it and a white square after
    // it: a word is at least two cells long, as in every .puz file.
    p.numgridCells.resize(cells);
    QList<Word> words;
    qint32 counter = 1;
    for (int r = 1; r <= height; ++r) {
        for (int c = 1; c <= width; ++c) {
            if (p.isBlack(c, r)) {
                p.numgridCells[p.index(c, r)] = -1;
                continue;
            }
            const bool across =
                (c == 1 || p.isBlack(c - 1, r)) && c < width && !p.isBlack(c + 1, r);
            const bool down = (r == 1 || p.isBlack(c, r - 1)) && r < height && !p.isBlack(c, r + 1);
            if (across)
                words.append({Direction::Across, counter});
            if (down)
                words.append({Direction::Down, counter});
            if (across || down)
                p.numgridCells[p.index(c, r)] = counter++;
        }
    }
    if (words.size() > clueTexts) {
        result.error = QStringLiteral("the grid has %1 words but the file holds only %2 clue texts")
                           .arg(words.size())
                           .arg(clueTexts);
        return result;
    }

    for (qsizetype k = 0; k < words.size(); ++k) {
        if (tooLong(k + 3)) {
            result.error = QStringLiteral("clue text %1 is longer than %2 bytes")
                               .arg(k + 1)
                               .arg(kMaxTextFieldBytes);
            return result;
        }
    }

    // The k-th word of the walk takes clue text k.
    for (qsizetype k = 0; k < words.size(); ++k) {
        const QString clue = field(k + 3);
        if (words.at(k).direction == Direction::Across) {
            p.num_a.append(words.at(k).number);
            p.clue_a.append(clue);
        } else {
            p.num_d.append(words.at(k).number);
            p.clue_d.append(clue);
        }
    }

    p.CurrentFileName = fileName;
    result.puzzle = std::move(p);
    return result;
}

ReadResult readPuzzleFile(const QString &path)
{
    ReadResult result;
    const auto errorText = [](int code) { return QString::fromLocal8Bit(std::strerror(code)); };
    const QByteArray encoded = QFile::encodeName(path);
    // One stat answers whether the file exists, is a regular file and how
    // large it is; devices are thus never opened.
    struct stat st {};
    if (::stat(encoded.constData(), &st) != 0) {
        result.error = QStringLiteral("the file does not exist");
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        result.error = QStringLiteral("it is a folder");
        return result;
    }
    // Pipes and devices could block or never end; a puzzle is a plain file.
    if (!S_ISREG(st.st_mode)) {
        result.error = QStringLiteral("it is not a regular file");
        return result;
    }
    if (st.st_size > kMaxPuzzleFileSize) {
        result.error =
            QStringLiteral("the file is too large to be a puzzle (%1 bytes)").arg(st.st_size);
        return result;
    }
    // O_NONBLOCK: should a FIFO have taken the file's place since the stat,
    // the open does not wait for a writer, and the read ends at once.
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        result.error = QStringLiteral("the file cannot be opened: %1").arg(errorText(errno));
        return result;
    }
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    // Read to the end, which may come before or after the size just seen
    // when the file changes meanwhile; one byte past the limit tells a file
    // that grew too large.
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > kMaxPuzzleFileSize) {
                result.error = QStringLiteral("the file is too large to be a puzzle");
                return result;
            }
            bytes.resize(qMin<qsizetype>(2 * bytes.size(), kMaxPuzzleFileSize + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = QStringLiteral("the file cannot be read: %1").arg(errorText(errno));
            return result;
        }
        if (n == 0)
            break;
        filled += n;
    }
    bytes.truncate(filled);
    return readPuzzle(bytes, QFileInfo(path).fileName());
}

} // namespace norvale
