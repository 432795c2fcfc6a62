#include "gridparts.h"

#include "cp1252.h"
#include "numbering.h"
#include "plaintext.h"

#include <QHash>

namespace norvale {

namespace {

// The grid byte of white squares whose letters are unknown.
constexpr char kUnknownLetter = 'X';

QString directionName(Direction d)
{
    return d == Direction::Across ? u"Across"_qs : u"Down"_qs;
}

// Pairs the walk's words of one direction with the file's clues by number.
// Returns the refusal, or an empty text.
QString pairClues(const QList<Word> &words, Direction direction,
                  const QList<GridParts::Clue> &clues, QList<qint32> &numbers, QStringList &texts)
{
    QHash<qint32, qsizetype> byNumber;
    for (qsizetype k = 0; k < clues.size(); ++k) {
        if (byNumber.contains(clues.at(k).number))
            return QStringLiteral("two %1 clues are numbered %2")
                .arg(directionName(direction))
                .arg(clues.at(k).number);
        byNumber.insert(clues.at(k).number, k);
    }
    for (const Word &w : words) {
        if (w.direction != direction)
            continue;
        const auto found = byNumber.constFind(w.number);
        if (found == byNumber.cend())
            return QStringLiteral("%1 %2 has no clue").arg(w.number).arg(directionName(direction));
        const QString &text = clues.at(*found).text;
        if (text.toUtf8().size() > kMaxTextFieldBytes)
            return QStringLiteral("the clue of %1 %2 is longer than %3 bytes")
                .arg(w.number)
                .arg(directionName(direction))
                .arg(kMaxTextFieldBytes);
        numbers.append(w.number);
        texts.append(text);
        byNumber.erase(found);
    }
    if (!byNumber.isEmpty()) {
        // The first such clue in the file's order names the fault.
        qsizetype first = clues.size();
        for (const qsizetype k : std::as_const(byNumber))
            first = std::min(first, k);
        return QStringLiteral("the %1 clue numbered %2 names no word of the grid")
            .arg(directionName(direction))
            .arg(clues.at(first).number);
    }
    return {};
}

} // namespace

QList<GridParts::Clue> *GridParts::clues(QStringView direction)
{
    if (direction.compare(u"Across", Qt::CaseInsensitive) == 0)
        return &across;
    if (direction.compare(u"Down", Qt::CaseInsensitive) == 0)
        return &down;
    return nullptr;
}

QString squareName(int x, int y)
{
    return QStringLiteral("x=%1, y=%2").arg(x).arg(y);
}

std::optional<qint32> numberText(QStringView text)
{
    const QStringView digits = text.trimmed();
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar ch : digits) {
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint32 n = digits.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

ReadResult assemblePuzzle(const GridParts &parts, const QString &fileName)
{
    ReadResult result;
    const qsizetype cells = qsizetype(parts.width) * parts.height;
    Q_ASSERT(parts.cells.size() == cells);

    const struct {
        const char *name;
        const QString &text;
    } headers[] = {
        {"title", parts.title}, {"author", parts.author}, {"copyright", parts.copyright}};
    for (const auto &h : headers) {
        if (h.text.toUtf8().size() > kMaxTextFieldBytes) {
            result.error = QStringLiteral("the %1 is longer than %2 bytes")
                               .arg(QLatin1StringView(h.name))
                               .arg(kMaxTextFieldBytes);
            return result;
        }
    }

    Puzzle p;
    p.width = parts.width;
    p.height = parts.height;
    p.puz_title = parts.title;
    p.author = parts.author;
    p.copyright = parts.copyright;
    p.notes = parts.notes;
    if (p.notes.toUtf8().size() > kMaxTextFieldBytes)
        p.notes = shortenedNotes(p.notes);

    bool known = true;
    for (const GridParts::Cell &cell : parts.cells)
        known = known && (cell.black || !cell.solution.isEmpty());
    p.solutionKnown = known;
    p.solutionState = known ? Puzzle::kSolutionPlain : Puzzle::kSolutionAbsent;

    p.gridBytes.resize(cells);
    QList<bool> circles(cells);
    QStringList rebus(cells);
    bool anyCircle = false;
    bool anyRebus = false;
    for (qsizetype i = 0; i < cells; ++i) {
        const GridParts::Cell &cell = parts.cells.at(i);
        const int x = int(i % parts.width) + 1;
        const int y = int(i / parts.width) + 1;
        if (cell.black) {
            p.gridBytes[i] = '.';
            continue;
        }
        circles[i] = cell.circled;
        anyCircle = anyCircle || cell.circled;
        if (!known) {
            p.gridBytes[i] = kUnknownLetter;
            continue;
        }
        const QString first = cell.solution.left(1);
        const char byte = encodeWindows1252(first).at(0);
        // A white square must not read as a black one.
        if (Puzzle::isBlackByte(byte)) {
            result.error = QStringLiteral("the answer \"%1\" at %2 reads as a black square")
                               .arg(cell.solution, squareName(x, y));
            return result;
        }
        if (cell.solution.toUtf8().size() > kMaxTextFieldBytes) {
            result.error = QStringLiteral("the answer at %1 is longer than %2 bytes")
                               .arg(squareName(x, y))
                               .arg(kMaxTextFieldBytes);
            return result;
        }
        p.gridBytes[i] = byte;
        // An answer of several characters is a rebus; so is a single
        // character that Windows-1252 cannot hold, which the grid byte
        // alone would turn into "?".
        if (cell.solution.size() > 1 || decodeWindows1252(QByteArrayView(&byte, 1)) != first) {
            rebus[i] = cell.solution;
            anyRebus = true;
        }
    }
    if (anyCircle)
        p.circleCells = circles;
    if (anyRebus)
        p.rebusCells = rebus;

    const QList<Word> words = numberGrid(p);

    // Labels, where the file gives any, must be the walk's numbers.
    bool labelled = false;
    for (const GridParts::Cell &cell : parts.cells)
        labelled = labelled || (!cell.black && cell.label != 0);
    for (qsizetype i = 0; labelled && i < cells; ++i) {
        const GridParts::Cell &cell = parts.cells.at(i);
        const qint32 walk = p.numgridCells.at(i);
        if (cell.black || cell.label == walk)
            continue;
        const QString square = squareName(int(i % parts.width) + 1, int(i / parts.width) + 1);
        result.error =
            cell.label == 0 ? QStringLiteral("the square at %1 has no number, but starts word %2")
                                  .arg(square)
                                  .arg(walk)
            : walk == 0 ? QStringLiteral("the square at %1 is numbered %2, but starts no word")
                              .arg(square)
                              .arg(cell.label)
                        : QStringLiteral("the square at %1 is numbered %2 where the grid's "
                                         "numbering gives %3")
                              .arg(square)
                              .arg(cell.label)
                              .arg(walk);
        return result;
    }

    QString error = pairClues(words, Direction::Across, parts.across, p.num_a, p.clue_a);
    if (error.isEmpty())
        error = pairClues(words, Direction::Down, parts.down, p.num_d, p.clue_d);
    if (!error.isEmpty()) {
        result.error = error;
        return result;
    }

    p.CurrentFileName = fileName;
    result.puzzle = std::move(p);
    return result;
}

} // namespace norvale
