// Reading speed: a 21 x 21 puzzle read from memory as .puz, ipuz and jpz,
// each beside a baseline that is the floor for any reader of those bytes:
// copying them and looking at each one once. Prints the medians, the
// ratios and whether the ipuz and jpz readers stay under 1 ms.
//   reader_bench [RUNS]   (default 2000 reads of each)

#include "puzwriter/puzwriter.h"
#include "puzzle/ipuzreader.h"
#include "puzzle/jpzreader.h"
#include "puzzle/reader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace norvale;

namespace {

// A 21 x 21 grid with a symmetric pattern of black squares (about one in
// six), random letters and clues of published length, as a .puz file.
QByteArray makePuz()
{
    QRandomGenerator rng(21);
    const int size = 21;
    QList<QString> rows(size, QString(size, u'A'));
    for (int r = 0; r < size; ++r) {
        for (int c = 0; c < size; ++c) {
            if (r * size + c > size * size / 2)
                break;
            const bool black = rng.bounded(6) == 0;
            const QChar ch = black ? u'.' : QChar(char16_t(u'A' + rng.bounded(26)));
            rows[r][c] = ch;
            rows[size - 1 - r][size - 1 - c] =
                black ? u'.' : QChar(char16_t(u'A' + rng.bounded(26)));
        }
    }
    puzwriter::PuzzleSource s;
    s.title = u"Benchmark Sunday, a 21 x 21 grid"_qs;
    s.author = u"Norvale"_qs;
    s.copyright = u"\u00a9 Norvale"_qs;
    s.rows = rows;
    for (int i = 0; i < size * size; ++i) {
        s.across.append(
            QStringLiteral("Across clue %1 of a realistic length, with a few words").arg(i));
        s.down.append(QStringLiteral("Down clue %1, about as long as a published clue is").arg(i));
    }
    // More clues than words: the writer takes as many as the grid needs.
    return puzwriter::write(s);
}

QByteArray toIpuz(const Puzzle &p)
{
    QJsonArray puzzle;
    QJsonArray solution;
    for (int r = 1; r <= p.height; ++r) {
        QJsonArray prow;
        QJsonArray srow;
        for (int c = 1; c <= p.width; ++c) {
            prow.append(p.isBlack(c, r) ? QJsonValue(u"#"_qs) : QJsonValue(p.numgrid(c, r)));
            srow.append(p.isBlack(c, r) ? u"#"_qs : QString(QChar::fromLatin1(p.grid(c, r))));
        }
        puzzle.append(prow);
        solution.append(srow);
    }
    const auto clues = [](const QList<qint32> &numbers, const QStringList &texts) {
        QJsonArray list;
        for (qsizetype i = 0; i < numbers.size(); ++i)
            list.append(QJsonArray{numbers.at(i), texts.at(i)});
        return list;
    };
    QJsonObject root{
        {u"version"_qs, u"http://ipuz.org/v2"_qs},
        {u"kind"_qs, QJsonArray{u"http://ipuz.org/crossword#1"_qs}},
        {u"title"_qs, p.puz_title},
        {u"author"_qs, p.author},
        {u"copyright"_qs, p.copyright},
        {u"dimensions"_qs, QJsonObject{{u"width"_qs, p.width}, {u"height"_qs, p.height}}},
        {u"puzzle"_qs, puzzle},
        {u"solution"_qs, solution},
        {u"clues"_qs, QJsonObject{{u"Across"_qs, clues(p.num_a, p.clue_a)},
                                  {u"Down"_qs, clues(p.num_d, p.clue_d)}}}};
    return QJsonDocument(root).toJson();
}

QByteArray toJpz(const Puzzle &p)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(u"http://crossword.info/xml/crossword-compiler"_qs);
    w.writeStartElement(u"crossword-compiler-applet"_qs);
    w.writeStartElement(u"rectangular-puzzle"_qs);
    w.writeStartElement(u"metadata"_qs);
    w.writeTextElement(u"title"_qs, p.puz_title);
    w.writeTextElement(u"creator"_qs, p.author);
    w.writeTextElement(u"copyright"_qs, p.copyright);
    w.writeEndElement();
    w.writeStartElement(u"crossword"_qs);
    w.writeStartElement(u"grid"_qs);
    w.writeAttribute(u"width"_qs, QString::number(p.width));
    w.writeAttribute(u"height"_qs, QString::number(p.height));
    for (int r = 1; r <= p.height; ++r) {
        for (int c = 1; c <= p.width; ++c) {
            w.writeEmptyElement(u"cell"_qs);
            w.writeAttribute(u"x"_qs, QString::number(c));
            w.writeAttribute(u"y"_qs, QString::number(r));
            if (p.isBlack(c, r)) {
                w.writeAttribute(u"type"_qs, u"block"_qs);
                continue;
            }
            w.writeAttribute(u"solution"_qs, QString(QChar::fromLatin1(p.grid(c, r))));
            if (p.numgrid(c, r) > 0)
                w.writeAttribute(u"number"_qs, QString::number(p.numgrid(c, r)));
        }
    }
    w.writeEndElement();
    const auto clues = [&w](const QString &title, const QList<qint32> &numbers,
                            const QStringList &texts) {
        w.writeStartElement(u"clues"_qs);
        w.writeStartElement(u"title"_qs);
        w.writeTextElement(u"b"_qs, title);
        w.writeEndElement();
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            w.writeStartElement(u"clue"_qs);
            w.writeAttribute(u"number"_qs, QString::number(numbers.at(i)));
            w.writeCharacters(texts.at(i));
            w.writeEndElement();
        }
        w.writeEndElement();
    };
    clues(u"Across"_qs, p.num_a, p.clue_a);
    clues(u"Down"_qs, p.num_d, p.clue_d);
    w.writeEndDocument();
    return out;
}

// Median time of one call in microseconds.
double medianMicros(int runs, const std::function<void()> &call)
{
    QList<qint64> times;
    times.reserve(runs);
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        call();
        times.append(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return double(times.at(runs / 2)) / 1000.0;
}

volatile qsizetype g_sink = 0;

// The floor: a copy of the bytes and one look at each of them.
void floorRead(const QByteArray &bytes)
{
    const QByteArray copy(bytes.constData(), bytes.size());
    g_sink = std::count(copy.cbegin(), copy.cend(), '\n');
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;
    const QByteArray puz = makePuz();
    const Puzzle puzzle = *readPuzzle(puz, u"b"_qs).puzzle;
    const QByteArray ipuz = toIpuz(puzzle);
    const QByteArray jpz = toJpz(puzzle);
    const struct {
        const char *name;
        const QByteArray &bytes;
        ReadResult (*read)(QByteArrayView, const QString &);
        bool target;
    } formats[] = {{".puz", puz, readPuzzle, false},
                   {"ipuz", ipuz, readIpuz, true},
                   {"jpz", jpz, readJpz, true}};

    std::printf("21 x 21 puzzle, %lld words; median of %d reads from memory\n",
                static_cast<long long>(puzzle.num_a.size() + puzzle.num_d.size()), runs);
    std::printf("%-6s %8s %14s %12s %8s\n", "format", "bytes", "baseline (us)", "reader (us)",
                "ratio");
    bool ok = true;
    for (const auto &f : formats) {
        const ReadResult check = f.read(f.bytes, u"b"_qs);
        if (!check.ok() || check.puzzle->gridBytes != puzzle.gridBytes ||
            check.puzzle->clue_d != puzzle.clue_d) {
            std::printf("%s: not read back (%s)\n", f.name, qPrintable(check.error));
            return 1;
        }
        const double base = medianMicros(runs, [&] { floorRead(f.bytes); });
        const double read = medianMicros(runs, [&] { g_sink = f.read(f.bytes, u"b"_qs).ok(); });
        std::printf("%-6s %8lld %14.2f %12.1f %8.0f%s\n", f.name,
                    static_cast<long long>(f.bytes.size()), base, read, read / base,
                    f.target ? (read < 1000.0 ? "  under 1 ms" : "  OVER 1 ms") : "");
        ok = ok && (!f.target || read < 1000.0);
    }
    return ok ? 0 : 2;
}
