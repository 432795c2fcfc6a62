#pragma once

#include "surface.h"

#include <QString>
#include <QStringList>

// Helpers shared by the surfaces and the page layouts of this library.
namespace norvale::layout {

// Every text of the pages is set in this family.
inline QString fontFamily() { return QStringLiteral("Arial"); }

// The lines of a text: "\r\n", "\n" and "\r" each end a line, so a text
// ending in a line break has an empty last line.
QStringList textLines(const QString &text);

// Length in characters (code points, so a surrogate pair counts once).
int characterCount(const QString &text);

// Type sizes are given in points; e turns them into surface units.
inline double unitFactor(const PageSetup &page) { return page.resolution / 72.0; }

// Sizes go by ranges of a count: first for a value up to firstMax, second
// up to secondMax, third above.
inline int byRange(int value, int firstMax, int secondMax, int first, int second, int third)
{
    return value <= firstMax ? first : value <= secondMax ? second : third;
}

// The lines of an empty grid of cols x rows cells of size cell: first the
// rows' lines top to bottom, then the columns' left to right.
void drawGridLines(Surface &surface, int left, int top, int cols, int rows, int cell);

// A title line that fits a width: the text (cut and ended with "…" when
// even the smallest size is too wide), its size and its width.
struct FittedTitle {
    QString text;
    int size = 0;
    double width = 0;
    bool cut = false;
};
enum class TitleCut { AtWordEnd, AnyCharacter };

// Sets the title at its size or, when it is wider than maxWidth, one unit
// smaller at a time down to smallest; still too wide there, it is cut to fit
// with "…" (at a word's end, or after any character). Uses and leaves the
// surface's size at the result's size.
FittedTitle fitTitle(Surface &surface, const QString &title, int size, int smallest, int maxWidth,
                     TitleCut cut);

// The circle of a circled square whose cell has its top left corner at
// (left, top): inscribed in the cell, a small inset from its lines.
void drawCellCircle(Surface &surface, int left, int top, int cell);

} // namespace norvale::layout
