#include "reader.h"

#include "cp1252.h"
#include "lock.h"
#include "numbering.h"
#include "plaintext.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

namespace {

constexpr QByteArrayView kSignature = "ACROSS&DOWN";
constexpr qsizetype kSignatureOffset = 0x02;
constexpr qsizetype kScrambledChecksumOffset = 0x1E;
constexpr qsizetype kVersionOffset = 0x18;
constexpr qsizetype kWidthOffset = 0x2C;
constexpr qsizetype kHeightOffset = 0x2D;
constexpr qsizetype kPuzzleTypeOffset = 0x30;
constexpr qsizetype kSolutionStateOffset = 0x32;
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

// The zero-ended text fields of a file, split one at a time: the extra
// sections after the notes hold binary data, so the area is not split as a
// whole. A last field that the file does not end with a zero byte counts,
// and so does the empty rest after the last zero byte.
class TextFields {
public:
    explicit TextFields(QByteArrayView texts) : m_texts(texts) {}

    // Takes the next field; false when the area has no more.
    bool next()
    {
        if (m_done)
            return false;
        const qsizetype zero = m_texts.indexOf('\0', m_pos);
        if (zero < 0) {
            m_fields.append(m_texts.sliced(m_pos));
            m_pos = m_texts.size();
            m_done = true;
        } else {
            m_fields.append(m_texts.sliced(m_pos, zero - m_pos));
            m_pos = zero + 1;
        }
        return true;
    }

    qsizetype count() const { return m_fields.size(); }
    QByteArrayView at(qsizetype k) const { return m_fields.at(k); }
    // Where the area goes on after the fields taken so far.
    qsizetype end() const { return m_pos; }

private:
    QByteArrayView m_texts;
    QList<QByteArrayView> m_fields;
    qsizetype m_pos = 0;
    bool m_done = false;
};

// An extra section: a four-byte name, a 16-bit little-endian length, a
// checksum (not looked at), the data and a zero byte.
struct Section {
    QByteArrayView name;
    QByteArrayView data;
    qsizetype next = 0; // where the following section starts
};

std::optional<Section> sectionAt(QByteArrayView area, qsizetype at)
{
    if (area.size() - at < 8)
        return std::nullopt;
    const qsizetype length = qFromLittleEndian<quint16>(area.data() + at + 4);
    // A section that runs past the end of the file is ignored, and nothing
    // after it can be found.
    if (area.size() - at - 8 < length)
        return std::nullopt;
    return Section{area.sliced(at, 4), area.sliced(at + 8, length), at + 8 + length + 1};
}

bool isKnownSectionName(QByteArrayView name)
{
    return name == "GEXT" || name == "GRBS" || name == "RTBL" || name == "LTIM" || name == "RUSR";
}

bool startsWithSection(QByteArrayView area)
{
    const std::optional<Section> first = sectionAt(area, 0);
    return first && isKnownSectionName(first->name);
}

// The rebus table: entries "kk:VALUE;", kk the number padded with a space.
QHash<int, QString> rebusTable(QByteArrayView data, bool utf8)
{
    QHash<int, QString> table;
    const QString text = decodeText(data, utf8);
    for (const QString &entry : text.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype colon = entry.indexOf(u':');
        if (colon < 0)
            continue;
        bool ok = false;
        const int key = entry.left(colon).trimmed().toInt(&ok);
        if (ok)
            table.insert(key, entry.mid(colon + 1));
    }
    return table;
}

// Circled squares (GEXT, bit 0x80 of each cell) and rebus answers (GRBS
// names an entry of RTBL for each cell, 0 for none). Sections of the wrong
// size are ignored, and so is anything unknown.
void readSections(QByteArrayView area, bool utf8, Puzzle &p)
{
    const qsizetype cells = p.gridBytes.size();
    QByteArrayView rebusGrid;
    QHash<int, QString> table;
    for (qsizetype at = 0;;) {
        const std::optional<Section> section = sectionAt(area, at);
        if (!section)
            break;
        if (section->name == "GEXT" && section->data.size() == cells) {
            QList<bool> circles(cells);
            bool any = false;
            for (qsizetype i = 0; i < cells; ++i) {
                circles[i] = (static_cast<unsigned char>(section->data[i]) & 0x80) != 0
                             && !Puzzle::isBlackByte(p.gridBytes.at(i));
                any = any || circles[i];
            }
            p.circleCells = any ? circles : QList<bool>();
        } else if (section->name == "GRBS" && section->data.size() == cells) {
            rebusGrid = section->data;
        } else if (section->name == "RTBL") {
            table = rebusTable(section->data, utf8);
        }
        at = section->next;
    }
    if (rebusGrid.isEmpty() || table.isEmpty())
        return;
    QStringList rebus(cells);
    bool any = false;
    for (qsizetype i = 0; i < cells; ++i) {
        const int n = static_cast<unsigned char>(rebusGrid[i]);
        if (n == 0 || Puzzle::isBlackByte(p.gridBytes.at(i)))
            continue;
        rebus[i] = table.value(n - 1);
        any = any || !rebus[i].isEmpty();
    }
    if (any)
        p.rebusCells = rebus;
}

// The white squares' positions column by column, the order in which a
// locked solution is scrambled.
QList<qsizetype> columnOrder(const Puzzle &p)
{
    QList<qsizetype> order;
    for (int c = 1; c <= p.width; ++c) {
        for (int r = 1; r <= p.height; ++r) {
            if (!p.isBlack(c, r))
                order.append(p.index(c, r));
        }
    }
    return order;
}

// A locked solution is unlocked with the key whose letters give the stored
// checksum; without one, and for a file that holds no solution, the letters
// are unknown.
void settleSolution(QByteArrayView file, Puzzle &p)
{
    if (p.solutionState == Puzzle::kSolutionAbsent) {
        p.solutionKnown = false;
        return;
    }
    if (p.solutionState != Puzzle::kSolutionLocked)
        return;
    p.solutionKnown = false;
    const QList<qsizetype> order = columnOrder(p);
    if (order.size() > lock::kMaxUnlockLetters)
        return;
    QByteArray letters(order.size(), Qt::Uninitialized);
    for (qsizetype j = 0; j < order.size(); ++j)
        letters[j] = p.gridBytes.at(order.at(j));
    const auto unlocked =
        lock::unlock(letters, qFromLittleEndian<quint16>(file.data() + kScrambledChecksumOffset));
    if (!unlocked)
        return;
    for (qsizetype j = 0; j < order.size(); ++j)
        p.gridBytes[order.at(j)] = unlocked->letters.at(j);
    p.solutionKnown = true;
    p.unlockKey = unlocked->key;
}

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
    p.puzzleType = qFromLittleEndian<quint16>(file.data() + kPuzzleTypeOffset);
    p.solutionState = qFromLittleEndian<quint16>(file.data() + kSolutionStateOffset);

    const QList<Word> words = numberGrid(p);

    // The text fields, each ended by a zero byte: title, author, copyright,
    // one clue per word, then the notes; the file's extra sections follow
    // the notes' zero byte. A last field the file does not end still counts.
    const QByteArrayView texts = file.sliced(kSolutionOffset + 2 * cells);
    TextFields fields(texts);
    const qsizetype wanted = 3 + words.size();
    while (fields.count() < wanted && fields.next()) {
    }
    const qsizetype clueTexts = std::max<qsizetype>(0, fields.count() - 3);
    if (clueTexts < words.size()) {
        result.error = QStringLiteral("the grid has %1 words but the file holds only %2 clue texts")
                           .arg(words.size())
                           .arg(clueTexts);
        return result;
    }
    // Texts that will be printed and converted are kept to a sane length: a
    // field of megabytes is no title or clue, and would tie up the layout.
    for (qsizetype k = 0; k < fields.count(); ++k) {
        if (fields.at(k).size() > kMaxTextFieldBytes) {
            result.error = k < 3 ? QStringLiteral("text field %1 is longer than %2 bytes")
                                       .arg(k + 1)
                                       .arg(kMaxTextFieldBytes)
                                 : QStringLiteral("clue text %1 is longer than %2 bytes")
                                       .arg(k - 2)
                                       .arg(kMaxTextFieldBytes);
            return result;
        }
    }
    // A field the file lacks is the empty text.
    const auto text = [&](qsizetype k) {
        return k < fields.count() ? decodeText(fields.at(k), utf8) : QString();
    };
    p.puz_title = text(0);
    p.author = text(1);
    p.copyright = text(2);

    // The k-th word of the walk takes clue text k.
    for (qsizetype k = 0; k < words.size(); ++k) {
        const QString clue = text(k + 3);
        if (words.at(k).direction == Direction::Across) {
            p.num_a.append(words.at(k).number);
            p.clue_a.append(clue);
        } else {
            p.num_d.append(words.at(k).number);
            p.clue_d.append(clue);
        }
    }

    // The notes, and after them the sections. A file that leaves the notes
    // out and goes straight on with its sections has no notes.
    qsizetype sectionsAt = fields.end();
    if (fields.count() == wanted && !startsWithSection(texts.sliced(sectionsAt)) && fields.next()) {
        p.notes = decodeText(fields.at(wanted), utf8);
        if (fields.at(wanted).size() > kMaxTextFieldBytes)
            p.notes = shortenedNotes(p.notes);
        sectionsAt = fields.end();
    }
    readSections(texts.sliced(sectionsAt), utf8, p);
    settleSolution(file, p);

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
    // when the file changes meanwhile: one byte more than the size is asked
    // for, so that one read does for a file that stayed as it was, and one
    // byte past the limit tells a file that grew too large.
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
        // A regular file that gives less than was asked for has ended: no
        // second read to learn it.
        if (filled < bytes.size())
            break;
    }
    bytes.truncate(filled);
    return readAnyPuzzle(bytes, QFileInfo(path).fileName());
}

} // namespace norvale
