#pragma once

#include "puzzle/puzzle.h"

#include <QImage>

namespace norvale {

// Largest picture side a thumbnail may ask for; file managers ask for 128
// to 1024 pixels.
inline constexpr int kMaxThumbnailSize = 4096;

// The puzzle's empty grid as a picture for file managers: white squares
// with thin black lines, black squares filled, circled squares with their
// circle. The longer side is size pixels, the shorter one in proportion.
// A diagramless puzzle shows its frame only, as its puzzle page does not
// give away where the black squares are. A null image when the puzzle has
// no grid or size is not from 1 to kMaxThumbnailSize.
QImage renderThumbnail(const Puzzle &puzzle, int size);

} // namespace norvale
