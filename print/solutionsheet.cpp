#include "layout.h"
#include "layoutsupport.h"
#include "puzzle/cp1252.h"

#include <algorithm>

namespace norvale {

namespace {

struct Slot {
    int x = 0;
    int y = 0;
};

// Six slots, two across and three down, within margins of 5 % of the
// printable width and height; 0 is the sixth. Any other index draws at the
// page's top left corner.
Slot slotOrigin(int slot, int W, int H, int sw, int sh)
{
    const int left = whole(0.05 * W);
    const int right = whole(0.05 * W + sw);
    switch (slot) {
    case 1: return {left, whole(0.05 * H)};
    case 2: return {right, whole(0.05 * H)};
    case 3: return {left, whole(0.05 * H + sh)};
    case 4: return {right, whole(0.05 * H + sh)};
    case 5: return {left, whole(0.05 * H + 2 * sh)};
    case 6:
    case 0: return {right, whole(0.05 * H + 2 * sh)};
    default: return {};
    }
}

// The whole answer of a rebus square: at the letter size when it fits the
// cell, else at the largest size that does, down to a third of the letter
// size; still too wide there, it is cut to the cell. Leaves the letter size
// set.
void drawRebus(Surface &surface, const QString &text, int left, int top, int cell, int letterSize)
{
    const int smallest = std::max(1, whole(letterSize / 3.0));
    const auto room = [cell](int size) { return cell - size / 2.0; };
    int size = letterSize;
    for (; size > smallest; --size) {
        surface.TextSize(size);
        if (surface.StringWidth(text) <= room(size))
            break;
    }
    surface.TextSize(size);
    QString shown = text;
    while (shown.size() > 1 && surface.StringWidth(shown) > room(size))
        shown.chop(shown.at(shown.size() - 1).isLowSurrogate() ? 2 : 1);
    // At the letter size the text sits where a letter would; smaller, it is
    // centred in the cell's height.
    const int baseline = size == letterSize ? top + letterSize : top + whole((cell + 0.7 * size) / 2);
    surface.DrawString(shown, whole(left + size / 4.0), baseline);
    surface.TextSize(letterSize);
}

// "Solution locked" on a white field in the middle of a grid whose letters
// are not known, at the letter size or smaller so that it fits the grid.
void drawLockedNotice(Surface &surface, int left, int top, int width, int height, int letterSize)
{
    static const QString notice = QStringLiteral("Solution locked");
    int size = letterSize;
    surface.TextSize(size);
    while (size > 1 && surface.StringWidth(notice) > 0.9 * width)
        surface.TextSize(--size);
    const double textWidth = surface.StringWidth(notice);
    const int pad = std::max(1, size / 4);
    const int x = whole(left + (width - textWidth) / 2);
    const int baseline = whole(top + (height + 0.7 * size) / 2);
    surface.ForeColor(Qt::white);
    surface.FillRect(x - pad, baseline - size - pad / 2, whole(textWidth) + 2 * pad,
                     whole(1.3 * size) + pad);
    surface.ForeColor(Qt::black);
    surface.DrawString(notice, x, baseline);
    surface.TextSize(letterSize);
}

} // namespace

void PrintSolutions(Surface &surface, const Puzzle &puzzle, const PageSetup &page, int slot)
{
    const int W = page.width;
    const int H = page.height;
    const int C = puzzle.width;
    const int R = puzzle.height;
    const double e = layout::unitFactor(page);

    const int letterSize = whole(layout::byRange(C, 15, 21, 11, 8, 6) * e);
    const int titleSize = whole(layout::byRange(layout::characterCount(puzzle.puz_title), 80, 96, 10, 8, 6) * e);
    const int sw = whole(0.45 * W);
    const int sh = whole(0.3 * H);
    const Slot origin = slotOrigin(slot, W, H, sw, sh);

    surface.ForeColor(Qt::black);
    surface.TextFont(layout::fontFamily());
    surface.Bold(true);
    // A title wider than its slot is set smaller and then cut, so that it
    // never runs into the neighbouring slot's title.
    const layout::FittedTitle titleLine = layout::fitTitle(
        surface, puzzle.puz_title, titleSize, whole(6 * e), sw, layout::TitleCut::AnyCharacter);
    surface.DrawString(titleLine.text, whole(origin.x + (sw - titleLine.width) / 2), origin.y);

    if (C <= 0 || R <= 0)
        return;
    // The grid fits the slot both ways: the rows fill the grid extent, and a
    // wide grid gets the largest cell with which it stays within 95 % of the
    // slot's width, out of the neighbouring slot.
    const int g = whole(0.95 * std::min(sw, sh));
    const int u = whole(std::min(g / double(R), 0.95 * sw / C));
    const int gridLeft = whole(origin.x + (sw - C * u) / 2.0);
    const int gridTop = whole(origin.y + (sh - R * u) / 5.0);

    layout::drawGridLines(surface, gridLeft, gridTop, C, R, u);
    surface.TextSize(letterSize);
    const int s = surface.TextSize();
    for (int i = 1; i <= R; ++i) {
        for (int j = 1; j <= C; ++j) {
            const int left = gridLeft + u * (j - 1);
            const int top = gridTop + u * (i - 1);
            if (puzzle.isBlack(j, i)) {
                surface.FillRect(left, top, u, u);
                continue;
            }
            if (puzzle.circled(j, i))
                layout::drawCellCircle(surface, left, top, u);
            if (!puzzle.solutionKnown)
                continue;
            const QString rebus = puzzle.rebus(j, i);
            if (!rebus.isEmpty()) {
                drawRebus(surface, rebus, left, top, u, s);
                continue;
            }
            const QChar letter = windows1252Char(static_cast<unsigned char>(puzzle.grid(j, i)));
            if (!letter.isNull())
                surface.DrawString(QString(letter), whole(gridLeft + s / 4.0 + u * (j - 1)), top + s);
        }
    }
    if (!puzzle.solutionKnown)
        drawLockedNotice(surface, gridLeft, gridTop, C * u, R * u, s);
}

} // namespace norvale
