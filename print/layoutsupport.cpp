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

FittedTitle fitTitle(Surface &surface, const QString &title, int size, int smallest, int maxWidth,
                     TitleCut cut)
{
    FittedTitle fitted{title, size, 0, false};
    surface.TextSize(fitted.size);
    fitted.width = surface.StringWidth(title);
    while (fitted.width > maxWidth && fitted.size > std::max(1, smallest)) {
        surface.TextSize(--fitted.size);
        fitted.width = surface.StringWidth(title);
    }
    if (fitted.width <= maxWidth)
        return fitted;

    // The longest beginning that fits with the ellipsis: ending at a word's
    // end (trailing spaces and commas dropped) or after any character, and
    // never less than one character.
    static const QString ellipsis(QChar(0x2026));
    const auto shortened = [&](qsizetype length) {
        QString head = title.left(length);
        while (!head.isEmpty() && (head.back() == u' ' || head.back() == u','))
            head.chop(1);
        return head + ellipsis;
    };
    qsizetype best = 0;
    for (qsizetype length = 1; length < title.size(); ++length) {
        if (title.at(length).isLowSurrogate())
            continue;
        const bool wordEnd = title.at(length) == u' ' && title.at(length - 1) != u' ';
        if (cut == TitleCut::AtWordEnd && !wordEnd)
            continue;
        if (surface.StringWidth(shortened(length)) > maxWidth)
            break;
        best = length;
    }
    if (best == 0 && cut == TitleCut::AtWordEnd)
        return fitTitle(surface, title, fitted.size, fitted.size, maxWidth, TitleCut::AnyCharacter);
    fitted.text = shortened(std::max<qsizetype>(1, best));
    fitted.width = surface.StringWidth(fitted.text);
    fitted.cut = true;
    return fitted;
}

void drawCellCircle(Surface &surface, int left, int top, int cell)
{
    const int inset = std::max(1, cell / 16);
    surface.DrawOval(left + inset, top + inset, cell - 2 * inset, cell - 2 * inset);
}

} // namespace norvale::layout
