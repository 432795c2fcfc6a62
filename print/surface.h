#pragma once

#include <QColor>
#include <QString>

#include <memory>

namespace norvale {

// whole(x): how every layout turns a real result into a position or size.
// Truncation toward zero, clamped to the int range.
int whole(double x);

// The size of a page's printable area in surface units, and the units per
// inch across. (0, 0) is the printable area's top left corner.
struct PageSetup {
    int width = 0;
    int height = 0;
    int resolution = 72;
};

// The drawing operations the page layouts use. Positions and type sizes are
// in surface units (a type size is a pixel size, so a measure taken on one
// surface agrees with another surface of the same resolution).
class Surface {
public:
    virtual ~Surface() = default;

    virtual void TextFont(const QString &family) = 0;
    virtual void TextSize(int size) = 0;
    virtual int TextSize() const = 0;
    virtual void Bold(bool bold) = 0;
    virtual void ForeColor(const QColor &color) = 0;

    // Width of the text as one line.
    virtual double StringWidth(const QString &text) = 0;
    // Height of the text as DrawString lays it out at that wrap width
    // (0: no wrapping) and hanging indent.
    virtual double StringHeight(const QString &text, int wrapWidth, double indent = 0) = 0;
    // Left edge at x, first baseline at y; "\n" starts a new line; with a
    // wrap width, lines are broken to fit it (a word wider than the width is
    // broken too). Every line after the first starts at x + indent and is
    // broken to fit the wrap width less the indent: a hanging paragraph.
    virtual void DrawString(const QString &text, int x, int y, int wrapWidth = 0,
                            double indent = 0) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
    virtual void FillRect(int x, int y, int width, int height) = 0;
    // The outline of the ellipse inscribed in the rectangle, in the line pen.
    virtual void DrawOval(int x, int y, int width, int height) = 0;

    // Ends the page; later drawing goes onto a new page. False when the
    // output device failed.
    virtual bool NextPage() = 0;

    virtual int Width() const = 0;
    virtual int Height() const = 0;

    // A surface of the same size and metrics on which text can be measured
    // without drawing anything on this one (the layouts' offscreen picture).
    virtual std::unique_ptr<Surface> measuringSurface() const = 0;
};

} // namespace norvale
