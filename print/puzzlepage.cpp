#include "layout.h"
#include "layoutsupport.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <numeric>

namespace norvale {

namespace {

// Clues are wrapped at this many characters before they go into a column.
constexpr int kClueWidth = 33;

// The clue list: the notes (a heading, their lines, an empty entry) when
// the puzzle has any, the headings, the clues one per entry, two empty
// entries between the across and the down clues.
QStringList clueEntries(const Puzzle &puzzle)
{
    QStringList entries;
    QStringList noteLines = layout::textLines(puzzle.notes);
    while (!noteLines.isEmpty() && noteLines.last().trimmed().isEmpty())
        noteLines.removeLast();
    if (!noteLines.isEmpty()) {
        entries.append(QStringLiteral("Notes"));
        for (const QString &line : std::as_const(noteLines))
            entries.append(WrapClue(line, kClueWidth));
        entries.append(QString());
    }
    const auto addClues = [&entries](const QList<qint32> &numbers, const QStringList &clues) {
        for (qsizetype i = 0; i < clues.size(); ++i)
            entries.append(QString::number(numbers.value(i)) + QStringLiteral("   ") + WrapClue(clues.at(i), kClueWidth));
    };
    entries.append(QStringLiteral("Across Clues\n"));
    addClues(puzzle.num_a, puzzle.clue_a);
    entries.append(QString());
    entries.append(QString());
    entries.append(QStringLiteral("Down Clues\n"));
    addClues(puzzle.num_d, puzzle.clue_d);
    return entries;
}

// A column holds the entries first to last (none when last < first).
struct Column {
    qsizetype first = 0;
    qsizetype last = -1;
};

// Fills columns of the given height with whole entries, in order: an entry
// that would make its column taller than the height starts the next one.
QList<Column> packColumns(const QList<double> &heights, double columnHeight)
{
    QList<Column> columns;
    qsizetype start = 0;
    double used = 0;
    for (qsizetype i = 0; i < heights.size(); ++i) {
        const bool last = i + 1 == heights.size();
        const double candidate = used + heights.at(i);
        if (candidate > columnHeight) {
            columns.append({start, i - 1});
            start = i;
            used = heights.at(i);
            if (last)
                columns.append({i, i});
        } else {
            used = candidate;
            if (last)
                columns.append({start, i});
        }
    }
    return columns;
}

struct FittedClues {
    int size = 1;
    QList<Column> columns;
};

// The clue size: the largest size from firstSize down at which the clues
// would fill less than `columns` full columns if they flowed freely and,
// packed as whole entries, need no more than `columns` columns; size 1 when
// none does. With it, the entries of each column.
//
// The height of the joined list is the sum of its entries' heights (each
// entry is a run of whole lines), so each entry is measured once per size
// tried. A text is never less high than its own lines at one line height
// each, so sizes at which the entries' lines alone would fill the columns
// are passed over without measuring the entries.
FittedClues fitClues(Surface &measuring, const QStringList &entries, int firstSize, int columns,
                     int columnWidth, int columnHeight)
{
    measuring.TextFont(layout::fontFamily());
    measuring.Bold(false);
    const double room = double(columns) * columnHeight;
    qsizetype textLines = 0;
    for (const QString &entry : entries)
        textLines += layout::textLines(entry).size();

    FittedClues fitted;
    fitted.size = std::max(1, firstSize);
    for (; fitted.size > 1; --fitted.size) {
        measuring.TextSize(fitted.size);
        if (double(textLines) * measuring.StringHeight(QString(), columnWidth) < room)
            break;
    }
    QList<double> heights(entries.size());
    for (;; --fitted.size) {
        measuring.TextSize(fitted.size);
        for (qsizetype i = 0; i < entries.size(); ++i)
            heights[i] = measuring.StringHeight(entries.at(i), columnWidth);
        const double total = std::accumulate(heights.cbegin(), heights.cend(), 0.0);
        if (total >= room && fitted.size > 1)
            continue;
        fitted.columns = packColumns(heights, columnHeight);
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
    surface.TextSize(titleSize);
    surface.Bold(true);
    const int titleX = whole((W - surface.StringWidth(title)) / 2);

    // The file name in the bottom right corner.
    surface.TextSize(fileNameSize);
    surface.Bold(false);
    surface.DrawString(puzzle.CurrentFileName, whole(W - surface.StringWidth(puzzle.CurrentFileName)),
                       whole(H - surface.StringHeight(puzzle.CurrentFileName, W)));

    surface.TextSize(titleSize);
    surface.Bold(true);
    surface.DrawString(title, titleX, titleY);

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

    const QStringList entries = clueEntries(puzzle);
    const FittedClues fitted = fitClues(*surface.measuringSurface(), entries, firstClueSize, b, t, u);
    surface.TextFont(layout::fontFamily());
    surface.TextSize(fitted.size);
    surface.Bold(false);
    for (qsizetype k = 0; k < fitted.columns.size(); ++k) {
        const Column &column = fitted.columns.at(k);
        if (column.last < column.first)
            continue;
        const QString text = entries.mid(column.first, column.last - column.first + 1).join(u'\n');
        surface.DrawString(text, columnX(k), clueY, t);
    }
}

} // namespace norvale
