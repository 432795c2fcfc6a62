#include "layoutsupport.h"

#include <algorithm>

namespace norvale::layout {

QStringList textLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\n' && c != u'\r')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

int characterCount(const QString &text)
{
    int count = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate())
            ++count;
    }
    return count;
}

void drawGridLines(Surface &surface, int left, int top, int cols, int rows, int cell)
{
    for (int i = 0; i <= rows; ++i)
        surface.DrawLine(left, top + i * cell, left + cols * cell, top + i * cell);
    for (int i = 0; i <= cols; ++i)
        surface.DrawLine(left + i * cell, top, left + i * cell, top + rows * cell);
}

void drawCellCircle(Surface &surface, int left, int top, int cell)
{
    const int inset = std::max(1, cell / 16);
    surface.DrawOval(left + inset, top + inset, cell - 2 * inset, cell - 2 * inset);
}

} // namespace norvale::layout
