#include "recordingsurface.h"

#include "layoutsupport.h"

#include <algorithm>

namespace norvale {

namespace {

qsizetype lengthWithoutTrailingSpaces(QStringView text)
{
    qsizetype n = text.size();
    while (n > 0 && text.at(n - 1) == u' ')
        --n;
    return n;
}

} // namespace

QList<RecordingSurface::Op> RecordingSurface::ops(Kind kind) const
{
    QList<Op> out;
    for (const Op &op : m_ops) {
        if (op.kind == kind)
            out.append(op);
    }
    return out;
}

QStringList RecordingSurface::lines(const QString &text, int wrapWidth, double indent) const
{
    QStringList out;
    const double charWidth = 0.5 * std::max(1, m_size);
    const double hang = wrapWidth > 0 ? std::clamp(indent, 0.0, wrapWidth / 2.0) : 0.0;
    for (QString rest : layout::textLines(text)) {
        if (wrapWidth > 0) {
            const auto capacity = [&] {
                const double room = out.isEmpty() ? wrapWidth : wrapWidth - hang;
                return std::max<qsizetype>(1, static_cast<qsizetype>(room / charWidth));
            };
            for (qsizetype perLine = capacity(); lengthWithoutTrailingSpaces(rest) > perLine;
                 perLine = capacity()) {
                // Break after the last space whose line still fits; cut a
                // word that is longer than a whole line.
                qsizetype cut = 0;
                for (qsizetype j = 1; j < rest.size(); ++j) {
                    if (rest.at(j - 1) != u' ' || rest.at(j) == u' ')
                        continue;
                    if (lengthWithoutTrailingSpaces(QStringView(rest).left(j)) > perLine)
                        break;
                    cut = j;
                }
                if (cut == 0)
                    cut = perLine;
                out.append(rest.left(cut));
                rest.remove(0, cut);
            }
        }
        out.append(rest);
    }
    return out;
}

double RecordingSurface::StringWidth(const QString &text)
{
    qsizetype longest = 0;
    for (const QString &line : layout::textLines(text))
        longest = std::max(longest, line.size());
    return 0.5 * std::max(1, m_size) * double(longest);
}

double RecordingSurface::StringHeight(const QString &text, int wrapWidth, double indent)
{
    return double(lines(text, wrapWidth, indent).size()) * std::max(1, m_size);
}

QList<RecordingSurface::PlacedLine> RecordingSurface::placedLines(const Op &op)
{
    RecordingSurface metrics(0, 0);
    metrics.TextSize(op.size);
    const double hang = op.wrapWidth > 0 ? std::clamp(op.indent, 0.0, op.wrapWidth / 2.0)
                                         : std::max(0.0, op.indent);
    QList<PlacedLine> out;
    const QStringList lines = metrics.lines(op.text, op.wrapWidth, op.indent);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const int x = k == 0 ? op.at.x() : whole(op.at.x() + hang);
        out.append({lines.at(k), QPoint(x, op.at.y() + int(k) * std::max(1, op.size))});
    }
    return out;
}

RecordingSurface::Op RecordingSurface::newOp(Kind kind) const
{
    Op op;
    op.kind = kind;
    op.page = m_page;
    op.font = m_font;
    op.size = m_size;
    op.bold = m_bold;
    op.color = m_color;
    return op;
}

void RecordingSurface::DrawString(const QString &text, int x, int y, int wrapWidth, double indent)
{
    Op op = newOp(Kind::Text);
    op.text = text;
    op.at = QPoint(x, y);
    op.wrapWidth = wrapWidth;
    op.indent = indent;
    m_ops.append(op);
}

void RecordingSurface::DrawLine(int x1, int y1, int x2, int y2)
{
    Op op = newOp(Kind::Line);
    op.line = QLine(x1, y1, x2, y2);
    m_ops.append(op);
}

void RecordingSurface::FillRect(int x, int y, int width, int height)
{
    Op op = newOp(Kind::Fill);
    op.rect = QRect(x, y, width, height);
    m_ops.append(op);
}

void RecordingSurface::DrawOval(int x, int y, int width, int height)
{
    Op op = newOp(Kind::Oval);
    op.rect = QRect(x, y, width, height);
    m_ops.append(op);
}

bool RecordingSurface::NextPage()
{
    m_ops.append(newOp(Kind::PageBreak));
    ++m_page;
    return true;
}

std::unique_ptr<Surface> RecordingSurface::measuringSurface() const
{
    auto measuring = std::make_unique<RecordingSurface>(m_width, m_height);
    measuring->m_font = m_font;
    measuring->m_size = m_size;
    measuring->m_bold = m_bold;
    return measuring;
}

} // namespace norvale
