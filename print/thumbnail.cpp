#include "thumbnail.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace norvale {

QImage renderThumbnail(const Puzzle &puzzle, int size)
{
    const int cols = puzzle.width;
    const int rows = puzzle.height;
    if (cols <= 0 || rows <= 0 || size < 1 || size > kMaxThumbnailSize)
        return {};

    const int longer = std::max(cols, rows);
    const int width = std::max(1, int(std::lround(double(size) * cols / longer)));
    const int height = std::max(1, int(std::lround(double(size) * rows / longer)));
    // Edges of column j and row i, 0-based; the cells share the pixels
    // evenly, so no strip is left over at the right or bottom.
    const auto xEdge = [&](int j) { return int(std::lround(double(j) * width / cols)); };
    const auto yEdge = [&](int i) { return int(std::lround(double(i) * height / rows)); };
    // One pixel up to about 20 pixels a cell, thicker for large pictures.
    const double cell = double(size) / longer;
    const int line = std::max(1, int(cell / 20));

    // Grey levels are all the picture has, and a PNG of them is written
    // about three times faster than one in colour.
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    QPainter painter(&image);

    const bool showDiagram = !puzzle.isDiagramless();
    if (showDiagram) {
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= cols; ++c) {
                if (puzzle.isBlack(c, r)) {
                    painter.fillRect(xEdge(c - 1), yEdge(r - 1), xEdge(c) - xEdge(c - 1),
                                     yEdge(r) - yEdge(r - 1), Qt::black);
                }
            }
        }
    }

    // The lines, the outer frame included; the last one lies inside the
    // picture.
    for (int j = 0; j <= cols; ++j)
        painter.fillRect(std::min(xEdge(j), width - line), 0, line, height, Qt::black);
    for (int i = 0; i <= rows; ++i)
        painter.fillRect(0, std::min(yEdge(i), height - line), width, line, Qt::black);

    if (showDiagram && !puzzle.circleCells.isEmpty()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, line));
        painter.setBrush(Qt::NoBrush);
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= cols; ++c) {
                if (!puzzle.circled(c, r))
                    continue;
                // A little inside the cell's lines, so that it does not
                // melt into them in a small picture.
                const QRectF inside(xEdge(c - 1) + line, yEdge(r - 1) + line,
                                    xEdge(c) - xEdge(c - 1) - line, yEdge(r) - yEdge(r - 1) - line);
                const double inset = line / 2.0 + 0.06 * std::min(inside.width(), inside.height());
                painter.drawEllipse(inside.adjusted(inset, inset, -inset, -inset));
            }
        }
    }
    return image;
}

} // namespace norvale
