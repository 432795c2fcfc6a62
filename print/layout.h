#pragma once

// Printing: the puzzle page, the solution sheet and clue wrapping, drawn
// through the Surface of surface.h (a painter on a printer, PDF, preview or
// image in paintersurface.h; a recording one for tests). Builds on puzzle/.

#include "puzzle/puzzle.h"
#include "surface.h"

#include <QString>
#include <QStringList>

namespace norvale {

// Breaks a clue at spaces into lines shorter than width characters; every
// line after the first is indented by seven spaces.
QString WrapClue(const QString &text, int width);
// The same lines without the indent, for a layout that hangs them itself.
QStringList WrapClueLines(const QString &text, int width);

// One puzzle page on the current page of the surface: title, empty grid
// with numbers, clue columns, and the file name in the bottom right
// corner. Never starts a page.
void PrintPuzzle(Surface &surface, const Puzzle &puzzle, const PageSetup &page, bool gridAtBottom);

// One solution into a slot of the current solution sheet: slots 1 to 5,
// and 0 or 6 for the bottom right one. Never starts a page.
void PrintSolutions(Surface &surface, const Puzzle &puzzle, const PageSetup &page, int slot);

} // namespace norvale
