#include "layout.h"
#include "layoutsupport.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace norvale {

namespace {

// Clues are wrapped at this many characters before they go into a column.
constexpr int kClueWidth = 33;

// One entry of the clue list. The lines of a clue after its first hang
// under the start of its text: the indent is the width of its number and the
// three spaces after it.
struct Entry {
    enum class Kind { Heading, Separator, Text };
    Kind kind = Kind::Text;
    QString text;
    QString hangAfter; // the text whose width is the hanging indent, or none
};

Entry heading(const QString &text) { return {Entry::Kind::Heading, text, {}}; }
Entry separator() { return {Entry::Kind::Separator, {}, {}}; }

// The clue list: the whole title when the title line had to be cut, the
// notes (a heading, their lines, an empty entry) when the puzzle has any,
// the headings, the clues one per entry, two empty entries between the
// across and the down clues. Clues and notes lines are broken at 33
// characters; the surface breaks what is still too wide for the column, and
// every continuation line hangs.
QList<Entry> clueEntries(const Puzzle &puzzle, const QString &wholeTitle)
{
    QList<Entry> entries;
    if (!wholeTitle.isEmpty()) {
        entries.append({Entry::Kind::Text, wholeTitle, {}});
        entries.append(separator());
    }
    QStringList noteLines = layout::textLines(puzzle.notes);
    while (!noteLines.isEmpty() && noteLines.last().trimmed().isEmpty())
        noteLines.removeLast();
    if (!noteLines.isEmpty()) {
        entries.append(heading(QStringLiteral("Notes")));
        for (const QString &line : std::as_const(noteLines))
            entries.append({Entry::Kind::Text, WrapClueLines(line, kClueWidth).join(u'\n'), {}});
        entries.append(separator());
    }
    const auto addClues = [&entries](const QList<qint32> &numbers, const QStringList &clues) {
        for (qsizetype i = 0; i < clues.size(); ++i) {
            const QString number = QString::number(numbers.value(i)) + QStringLiteral("   ");
            entries.append({Entry::Kind::Text, number + WrapClueLines(clues.at(i), kClueWidth).join(u'\n'),
                            number});
        }
    };
    entries.append(heading(QStringLiteral("Across Clues\n")));
    addClues(puzzle.num_a, puzzle.clue_a);
    entries.append(separator());
    entries.append(separator());
    entries.append(heading(QStringLiteral("Down Clues\n")));
    addClues(puzzle.num_d, puzzle.clue_d);
    return entries;
}

// A column holds the entries first to last (none when last < first).
struct Column {
    qsizetype first = 0;
    qsizetype last = -1;
};

// Fills columns of the given height with whole entries, in order: an entry
// that would make its column taller than the height starts the next one. A
// heading moves on together with the entry after it, so that no column ends
// with a heading, and the empty separators that would begin a column are
// left out.
QList<Column> packColumns(const QList<Entry> &entries, const QList<double> &heights, double columnHeight)
{
    QList<Column> columns;
    Column current{0, -1};
    double used = 0;
    const qsizetype n = entries.size();
    for (qsizetype i = 0; i < n;) {
        const bool empty = current.last < current.first;
        if (empty && entries.at(i).kind == Entry::Kind::Separator) {
            ++i;
            current = {i, i - 1};
            continue;
        }
        qsizetype j = i;
        if (entries.at(i).kind == Entry::Kind::Heading && i + 1 < n
            && entries.at(i + 1).kind != Entry::Kind::Separator)
            j = i + 1;
        const double unit = std::accumulate(heights.cbegin() + i, heights.cbegin() + j + 1, 0.0);
        if (!empty && used + unit > columnHeight) {
            columns.append(current);
            current = {i, i - 1};
            used = 0;
            continue;
        }
        current.last = j;
        used += unit;
        i = j + 1;
    }
    if (current.last >= current.first)
        columns.append(current);
    return columns;
}

struct FittedClues {
    int size = 1;
    QList<double> heights;
    QList<double> indents;
    QList<Column> columns;
};

// What the fitting knows of each entry before it tries a size: the widths
// of its lines (trailing spaces left out, as they never break a line) and
// of the text it hangs after, at a reference size. The faces are unhinted,
// so widths scale with the size to within a small error, which the bounds
// below allow for in the safe direction.
struct EntryWidths {
    QList<double> lines;
    double hang = 0;
};

struct ScaledWidths {
    int referenceSize = 1;
    QList<EntryWidths> entries;

    double scaled(double width, int size) const { return width * size / referenceSize; }
    double low(double width, int size) const { return scaled(width, size) * 0.99 - 2; }
    double high(double width, int size) const { return scaled(width, size) * 1.01 + 2; }
};

ScaledWidths measureWidths(Surface &measuring, const QList<Entry> &entries, int referenceSize)
{
    ScaledWidths widths;
    widths.referenceSize = referenceSize;
    measuring.TextSize(referenceSize);
    for (const Entry &entry : entries) {
        EntryWidths w;
        for (QString line : layout::textLines(entry.text)) {
            while (line.endsWith(u' '))
                line.chop(1);
            w.lines.append(line.isEmpty() ? 0.0 : measuring.StringWidth(line));
        }
        w.hang = entry.hangAfter.isEmpty() ? 0.0 : measuring.StringWidth(entry.hangAfter);
        widths.entries.append(w);
    }
    return widths;
}

// At least how many lines the entries take at that size: a line wider than
// the column takes as many lines as the column's width goes into it.
double linesAtLeast(const ScaledWidths &widths, int size, int columnWidth)
{
    double lines = 0;
    for (const EntryWidths &entry : widths.entries) {
        for (const double w : entry.lines)
            lines += std::max(1.0, std::ceil(widths.low(w, size) / columnWidth));
    }
    return lines;
}

// The hanging indent of each entry and its height at the surface's size.
// The indent is the width of the number and its spaces, scaled from the
// reference size; the same value is measured with and drawn with. An entry
// whose every line is certainly narrower than its room is as many lines
// high as it has; only the others are laid out.
void measureEntries(Surface &measuring, const QList<Entry> &entries, const ScaledWidths &widths,
                    int columnWidth, QList<double> &indents, QList<double> &heights)
{
    const int size = measuring.TextSize();
    const double lineHeight = measuring.StringHeight(QString(), 0);
    indents.resize(entries.size());
    heights.resize(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries.at(i);
        const EntryWidths &w = widths.entries.at(i);
        indents[i] = widths.scaled(w.hang, size);
        bool fits = true;
        for (qsizetype k = 0; k < w.lines.size() && fits; ++k) {
            const double room = k == 0 ? columnWidth : columnWidth - std::min(indents.at(i), columnWidth / 2.0);
            fits = widths.high(w.lines.at(k), size) < room;
        }
        heights[i] = fits ? double(w.lines.size()) * lineHeight
                          : measuring.StringHeight(entry.text, columnWidth, indents.at(i));
    }
}

// The clue size: the largest size from firstSize down at which the clues
// would fill less than `columns` full columns if they flowed freely and,
// packed as whole entries, need no more than `columns` columns; size 1 when
// none does. With it, the entries' indents and heights and the columns.
//
// The height of the clue list is the sum of its entries' heights (each
// entry is a run of whole lines), so each entry is measured once per size
// tried. Sizes at which the entries' lines could not fit even at their
// least (see linesAtLeast) are passed over without measuring the entries.
FittedClues fitClues(Surface &measuring, const QList<Entry> &entries, int firstSize, int columns,
                     int columnWidth, int columnHeight)
{
    measuring.TextFont(layout::fontFamily());
    measuring.Bold(false);
    const double room = double(columns) * columnHeight;

    FittedClues fitted;
    fitted.size = std::max(1, firstSize);
    const ScaledWidths widths = measureWidths(measuring, entries, fitted.size);
    for (; fitted.size > 1; --fitted.size) {
        measuring.TextSize(fitted.size);
        if (linesAtLeast(widths, fitted.size, columnWidth) * measuring.StringHeight(QString(), 0) < room)
            break;
    }
    for (;; --fitted.size) {
        measuring.TextSize(fitted.size);
        measureEntries(measuring, entries, widths, columnWidth, fitted.indents, fitted.heights);
        const double total = std::accumulate(fitted.heights.cbegin(), fitted.heights.cend(), 0.0);
        if (total >= room && fitted.size > 1)
            continue;
        fitted.columns = packColumns(entries, fitted.heights, columnHeight);
        if (fitted.columns.size() > columns && fitted.size > 1)
            continue;
        return fitted;
    }
}

} // namespace

void PrintPuzzle(Surface &surface, const Puzzle &puzzle, const PageSetup &page, bool gridAtBottom)
{
    const int W = page.width;
    const int H = page.height;
    const int C = puzzle.width;
    const int R = puzzle.height;
    const double e = layout::unitFactor(page);

    const QString title = puzzle.puz_title + QStringLiteral(", ") + puzzle.author;
    const int titleSize = whole(layout::byRange(layout::characterCount(title), 80, 96, 12, 10, 8) * e);
    const int numberSize = whole(layout::byRange(C, 15, 21, 7, 5, 4) * e);
    const int b = layout::byRange(C, 15, 21, 3, 4, 5);
    const int fileNameSize = whole(4 * e);
    const int firstClueSize = whole(11 * e);

    // The grid takes at most half the printable height and never more than
    // the printable width.
    const bool hasGrid = C > 0 && R > 0;
    const int h = hasGrid ? whole(std::min(whole(0.5 * H) / double(R), W / double(C))) : 0;
    const int gridLeft = whole((W - C * h) / 2.0);
    const int gridTop = gridAtBottom ? whole(0.475 * H) : whole(0.05 * H);
    const int titleY = whole(0.025 * H);
    const int t = whole(W * (0.9 - 0.01 * (b - 1)) / b);
    const int u = whole(0.425 * H);
    const int clueY = gridAtBottom ? whole(0.05 * H) : whole(0.575 * H);
    // Left edges of the clue columns; the margin is 5 % of the height.
    const auto columnX = [&](qsizetype k) { return whole(0.05 * H + double(k) * (t + 0.01 * W)); };

    surface.ForeColor(Qt::black);
    surface.TextFont(layout::fontFamily());
    surface.Bold(true);
    // A title too wide for the page is set smaller and, at the smallest
    // size, cut at a word's end; the whole title then heads the clue list.
    const layout::FittedTitle titleLine =
        layout::fitTitle(surface, title, titleSize, whole(6 * e), W, layout::TitleCut::AtWordEnd);
    const int titleX = whole((W - titleLine.width) / 2);

    // The file name in the bottom right corner.
    surface.TextSize(fileNameSize);
    surface.Bold(false);
    surface.DrawString(puzzle.CurrentFileName, whole(W - surface.StringWidth(puzzle.CurrentFileName)),
                       whole(H - surface.StringHeight(puzzle.CurrentFileName, W)));

    surface.TextSize(titleLine.size);
    surface.Bold(true);
    surface.DrawString(titleLine.text, titleX, titleY);

    if (hasGrid) {
        layout::drawGridLines(surface, gridLeft, gridTop, C, R, h);
        surface.TextSize(numberSize);
        surface.Bold(false);
        const int s = surface.TextSize();
        // A diagramless puzzle's page shows the empty frame of cells only:
        // finding the black squares is the puzzle.
        for (int i = 1; i <= R && !puzzle.isDiagramless(); ++i) {
            for (int j = 1; j <= C; ++j) {
                const qint32 n = puzzle.numgrid(j, i);
                const int left = gridLeft + h * (j - 1);
                const int top = gridTop + h * (i - 1);
                if (n < 0) {
                    surface.FillRect(left, top, h, h);
                    continue;
                }
                // The circle first, so that the number stays readable on it.
                if (puzzle.circled(j, i))
                    layout::drawCellCircle(surface, left, top, h);
                if (n > 0) {
                    surface.DrawString(QString::number(n), whole(gridLeft + s / 4.0 + h * (j - 1)),
                                       whole(gridTop + 1.1 * s + h * (i - 1)));
                }
            }
        }
    }

    const QList<Entry> entries = clueEntries(puzzle, titleLine.cut ? title : QString());
    const FittedClues fitted = fitClues(*surface.measuringSurface(), entries, firstClueSize, b, t, u);
    surface.TextFont(layout::fontFamily());
    surface.TextSize(fitted.size);
    surface.Bold(false);
    for (qsizetype k = 0; k < fitted.columns.size(); ++k) {
        const Column &column = fitted.columns.at(k);
        double y = clueY;
        for (qsizetype i = column.first; i <= column.last; ++i) {
            if (!entries.at(i).text.isEmpty())
                surface.DrawString(entries.at(i).text, columnX(k), whole(y), t, fitted.indents.at(i));
            y += fitted.heights.at(i);
        }
    }
}

} // namespace norvale
