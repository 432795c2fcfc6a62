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
    surface.TextSize(titleSize);
    surface.Bold(true);
    const double titleWidth = surface.StringWidth(puzzle.puz_title);
    surface.DrawString(puzzle.puz_title, whole(origin.x + (sw - titleWidth) / 2), origin.y);

    if (C <= 0 || R <= 0)
        return;
    // The grid fits the slot both ways, so a wide grid stays out of the
    // neighbouring slot.
    const int g = whole(0.95 * std::min(sw, sh));
    const int u = whole(g / double(std::max(C, R)));
    const int gridLeft = whole(origin.x + (sw - C * u) / 2.0);
    const int gridTop = whole(origin.y + (sh - R * u) / 5.0);

    layout::drawGridLines(surface, gridLeft, gridTop, C, R, u);
    surface.TextSize(letterSize);
    const int s = surface.TextSize();
    for (int i = 1; i <= R; ++i) {
        for (int j = 1; j <= C; ++j) {
            if (puzzle.isBlack(j, i)) {
                surface.FillRect(gridLeft + u * (j - 1), gridTop + u * (i - 1), u, u);
                continue;
            }
            const QChar letter = windows1252Char(static_cast<unsigned char>(puzzle.grid(j, i)));
            if (!letter.isNull())
                surface.DrawString(QString(letter), whole(gridLeft + s / 4.0 + u * (j - 1)),
                                   gridTop + u * (i - 1) + s);
        }
    }
}

} // namespace norvale
