#include "puzwriter.h"

#include "puzzle/cp1252.h"
#include "puzzle/lock.h"

#include <QtEndian>

namespace norvale::puzwriter {

namespace {

using lock::checksum;

bool isBlack(QChar ch) { return ch == u'.' || ch == u':'; }

// Scrambles the solution's letters, taken column by column, with the key,
// and stores the checksum of the correct letters as locked files do.
void lockSolution(RawPuzzle &raw, int key)
{
    QList<qsizetype> order;
    for (int c = 0; c < raw.width; ++c) {
        for (int r = 0; r < raw.height; ++r) {
            const qsizetype i = qsizetype(r) * raw.width + c;
            if (!isBlack(QChar::fromLatin1(raw.solution.at(i))))
                order.append(i);
        }
    }
    QByteArray letters;
    for (const qsizetype i : std::as_const(order))
        letters += raw.solution.at(i);
    const QByteArray scrambled = lock::scramble(letters, key);
    if (scrambled.size() != letters.size())
        qFatal("puzwriter: a locked solution needs the letters A-Z and a key from 1000 to 9999");
    for (qsizetype j = 0; j < order.size(); ++j)
        raw.solution[order.at(j)] = scrambled.at(j);
    raw.solutionState = 0x0004;
    raw.scrambledChecksum = checksum(letters);
}

// The extra sections of the circles and the rebus squares.
template <typename Encode>
QByteArray sections(const PuzzleSource &source, int width, Encode encode)
{
    const qsizetype cells = qsizetype(width) * source.rows.size();
    QByteArray out;
    if (!source.rebus.isEmpty()) {
        QByteArray grid(cells, '\0');
        QString table;
        QStringList seen;
        for (const PuzzleSource::Rebus &r : source.rebus) {
            qsizetype n = seen.indexOf(r.text);
            if (n < 0) {
                n = seen.size();
                seen.append(r.text);
                table += QStringLiteral("%1:%2;").arg(n, 2).arg(r.text);
            }
            grid[qsizetype(r.row - 1) * width + (r.column - 1)] = char(n + 1);
        }
        out += section("GRBS", grid);
        out += section("RTBL", encode(table));
    }
    if (!source.circles.isEmpty()) {
        QByteArray marks(cells, '\0');
        for (qsizetype r = 0; r < source.circles.size(); ++r) {
            const QString &row = source.circles.at(r);
            for (qsizetype c = 0; c < row.size() && c < width; ++c) {
                if (row.at(c) == u'O')
                    marks[r * width + c] = char(0x80);
            }
        }
        out += section("GEXT", marks);
    }
    return out;
}

} // namespace

QByteArray section(QByteArrayView name, QByteArrayView data)
{
    QByteArray out = name.toByteArray().leftJustified(4, ' ', true);
    char numbers[4];
    qToLittleEndian<quint16>(quint16(data.size()), numbers);
    qToLittleEndian<quint16>(checksum(data), numbers + 2);
    out += QByteArrayView(numbers, 4);
    out += data;
    out += '\0';
    return out;
}

QByteArray writeRaw(const RawPuzzle &raw)
{
    const qsizetype cells = qsizetype(raw.width) * raw.height;
    QByteArray solution = raw.solution.left(cells);
    solution.resize(cells, 'A');
    QByteArray player(cells, '-');
    for (qsizetype i = 0; i < cells; ++i) {
        if (solution[i] == '.' || solution[i] == ':')
            player[i] = solution[i];
    }

    QByteArray file(0x34, '\0');
    file.replace(0x02, 12, QByteArrayView("ACROSS&DOWN\0", 12));
    QByteArray version = raw.version.left(3);
    version.resize(3, '\0');
    file.replace(0x18, 3, version);
    file[0x2C] = static_cast<char>(raw.width);
    file[0x2D] = static_cast<char>(raw.height);
    // Texts: title, author, copyright, the clues, and the notes last.
    const qsizetype clueCount = raw.texts.size() > 4 ? raw.texts.size() - 4 : 0;
    qToLittleEndian<quint16>(quint16(clueCount), file.data() + 0x2E);
    qToLittleEndian<quint16>(raw.puzzleType, file.data() + 0x30);
    qToLittleEndian<quint16>(raw.solutionState, file.data() + 0x32);
    qToLittleEndian<quint16>(raw.scrambledChecksum, file.data() + 0x1E);
    file += solution;
    file += player;
    for (const QByteArray &text : raw.texts) {
        file += text;
        file += '\0';
    }
    file += raw.extra;

    // Checksums: the header block, the grids and the texts, plus the
    // masked copies ("ICHEATED").
    const quint16 cib = checksum(QByteArrayView(file).sliced(0x2C, 8), 0);
    auto textSum = [&](quint16 sum) {
        for (qsizetype i = 0; i < raw.texts.size(); ++i) {
            const QByteArray &t = raw.texts.at(i);
            if (i < 3) {
                if (!t.isEmpty())
                    sum = checksum(t + '\0', sum);
            } else if (i < 3 + clueCount) {
                sum = checksum(t, sum);
            } else if (!t.isEmpty()) {
                sum = checksum(t + '\0', sum); // the notes
            }
        }
        return sum;
    };
    quint16 overall = checksum(solution, cib);
    overall = checksum(player, overall);
    overall = textSum(overall);
    const quint16 sol = checksum(solution, 0);
    const quint16 grid = checksum(player, 0);
    const quint16 part = textSum(0);
    qToLittleEndian<quint16>(overall, file.data());
    qToLittleEndian<quint16>(cib, file.data() + 0x0E);
    const char low[4] = {char('I' ^ (cib & 0xFF)), char('C' ^ (sol & 0xFF)),
                         char('H' ^ (grid & 0xFF)), char('E' ^ (part & 0xFF))};
    const char high[4] = {char('A' ^ (cib >> 8)), char('T' ^ (sol >> 8)), char('E' ^ (grid >> 8)),
                          char('D' ^ (part >> 8))};
    file.replace(0x10, 4, QByteArrayView(low, 4));
    file.replace(0x14, 4, QByteArrayView(high, 4));
    return file;
}

QStringList fileOrderClues(const PuzzleSource &source, QString *error)
{
    const int height = int(source.rows.size());
    const int width = height ? int(source.rows.first().size()) : 0;
    auto black = [&](int c, int r) { return isBlack(source.rows.at(r).at(c)); };
    QStringList out;
    qsizetype a = 0, d = 0;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            if (black(c, r))
                continue;
            const bool across = (c == 0 || black(c - 1, r)) && c + 1 < width && !black(c + 1, r);
            const bool down = (r == 0 || black(c, r - 1)) && r + 1 < height && !black(c, r + 1);
            if (across)
                out.append(a < source.across.size() ? source.across.at(a) : QString());
            if (down)
                out.append(d < source.down.size() ? source.down.at(d) : QString());
            a += across;
            d += down;
        }
    }
    if (error && (a != source.across.size() || d != source.down.size())) {
        *error = QStringLiteral("the grid has %1 across and %2 down words; %3 and %4 clues given")
                     .arg(a)
                     .arg(d)
                     .arg(source.across.size())
                     .arg(source.down.size());
    }
    return out;
}

QByteArray write(const PuzzleSource &source)
{
    const bool utf8 = source.version.startsWith("2.");
    auto encode = [&](const QString &s) { return utf8 ? s.toUtf8() : encodeWindows1252(s); };
    RawPuzzle raw;
    raw.version = source.version;
    raw.height = quint8(source.rows.size());
    raw.width = raw.height ? quint8(source.rows.first().size()) : 0;
    for (const QString &row : source.rows)
        raw.solution += encodeWindows1252(row.leftJustified(raw.width, u'A', true));
    raw.texts = {encode(source.title), encode(source.author), encode(source.copyright)};
    for (const QString &clue : fileOrderClues(source))
        raw.texts.append(encode(clue));
    raw.texts.append(encode(source.notes));
    if (source.diagramless)
        raw.puzzleType = 0x0401;
    if (source.noSolution)
        raw.solutionState = 0x0002;
    if (source.lockKey != 0)
        lockSolution(raw, source.lockKey);
    raw.extra = sections(source, raw.width, encode);
    return writeRaw(raw);
}

bool parseSource(const QString &text, PuzzleSource *out, QString *error)
{
    PuzzleSource src;
    enum { Header, Grid, Circles, Rebus, Across, Down } section = Header;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString key = line.section(u':', 0, 0).trimmed().toLower();
        const QString value = line.section(u':', 1).trimmed();
        if (line == u"Grid:") {
            section = Grid;
        } else if (line == u"Circles:") {
            section = Circles;
        } else if (line == u"Rebus:") {
            section = Rebus;
        } else if (line == u"Across:") {
            section = Across;
        } else if (line == u"Down:") {
            section = Down;
        } else if (section == Header && line.trimmed().isEmpty()) {
            continue;
        } else if (section == Header) {
            if (key == u"title")
                src.title = value;
            else if (key == u"author")
                src.author = value;
            else if (key == u"copyright")
                src.copyright = value;
            else if (key == u"notes")
                src.notes = value;
            else if (key == u"version")
                src.version = value.toLatin1();
            else if (key == u"lock")
                src.lockKey = value.toInt();
            else if (key == u"type" && value == u"diagramless")
                src.diagramless = true;
            else if (key == u"solution" && value == u"none")
                src.noSolution = true;
            else {
                *error = QStringLiteral("line %1: unknown field \"%2\"").arg(i + 1).arg(key);
                return false;
            }
        } else if (line.trimmed().isEmpty()) {
            continue;
        } else if (section == Grid) {
            src.rows.append(line.trimmed());
        } else if (section == Circles) {
            src.circles.append(line.trimmed());
        } else if (section == Rebus) {
            const QStringList parts = line.trimmed().split(u' ', Qt::SkipEmptyParts);
            PuzzleSource::Rebus r;
            r.row = parts.value(0).toInt();
            r.column = parts.value(1).toInt();
            r.text = parts.mid(2).join(u' ');
            if (r.row < 1 || r.column < 1 || r.text.isEmpty()) {
                *error = QStringLiteral("line %1: a rebus square is \"ROW COLUMN TEXT\"").arg(i + 1);
                return false;
            }
            src.rebus.append(r);
        } else if (section == Across) {
            src.across.append(line.trimmed());
        } else {
            src.down.append(line.trimmed());
        }
    }
    if (src.rows.isEmpty() || src.rows.size() > 255) {
        *error = QStringLiteral("the grid needs 1 to 255 rows");
        return false;
    }
    for (const QString &row : std::as_const(src.rows)) {
        if (row.size() != src.rows.first().size() || row.size() > 255) {
            *error = QStringLiteral("every grid row needs the same width, at most 255");
            return false;
        }
    }
    for (const PuzzleSource::Rebus &r : std::as_const(src.rebus)) {
        if (r.row > src.rows.size() || r.column > src.rows.first().size()) {
            *error = QStringLiteral("the rebus square %1 %2 is outside the grid").arg(r.row).arg(r.column);
            return false;
        }
    }
    QString mismatch;
    fileOrderClues(src, &mismatch);
    if (!mismatch.isEmpty()) {
        *error = mismatch;
        return false;
    }
    *out = src;
    return true;
}

} // namespace norvale::puzwriter
