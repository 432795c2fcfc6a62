#pragma once

#include "surface.h"

#include <QColor>
#include <QLine>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <memory>

namespace norvale {

// A surface for tests: it draws nothing, records every drawing operation
// and page break, and measures text with simple exact metrics:
// - every character is 0.5 * size wide, every line exactly size high;
// - "\n", "\r\n" and "\r" end a line;
// - with a wrap width, a line holds floor(width / (0.5 * size)) characters
//   (at least one); it is broken after the last space that keeps its words
//   (trailing spaces not counted) within that, and a word longer than a
//   whole line is cut;
// - lines after the first of a text start at the indent (up to half the
//   wrap width) and hold what fits the wrap width less the indent.
class RecordingSurface final : public Surface {
public:
    enum class Kind { Text, Line, Fill, Oval, PageBreak };

    struct Op {
        Kind kind = Kind::Text;
        int page = 0;      // 0-based page on which it happened
        QString text;      // Text
        QPoint at;         // Text: left edge and first baseline
        int wrapWidth = 0; // Text
        double indent = 0; // Text: where the lines after the first start
        QLine line;        // Line
        QRect rect;        // Fill, Oval
        QString font;
        int size = 0;
        bool bold = false;
        QColor color;
    };

    RecordingSurface(int width, int height) : m_width(width), m_height(height) {}

    const QList<Op> &ops() const { return m_ops; }
    QList<Op> ops(Kind kind) const;
    int pageCount() const { return m_page + 1; }

    // The lines the text is broken into at the current size.
    QStringList lines(const QString &text, int wrapWidth, double indent = 0) const;
    // Every line of a text operation with the left edge and baseline at
    // which it is drawn, at the operation's size.
    struct PlacedLine {
        QString text;
        QPoint at;
    };
    static QList<PlacedLine> placedLines(const Op &op);

    void TextFont(const QString &family) override { m_font = family; }
    void TextSize(int size) override { m_size = size; }
    int TextSize() const override { return m_size; }
    void Bold(bool bold) override { m_bold = bold; }
    void ForeColor(const QColor &color) override { m_color = color; }

    double StringWidth(const QString &text) override;
    double StringHeight(const QString &text, int wrapWidth, double indent = 0) override;
    void DrawString(const QString &text, int x, int y, int wrapWidth = 0, double indent = 0) override;
    void DrawLine(int x1, int y1, int x2, int y2) override;
    void FillRect(int x, int y, int width, int height) override;
    void DrawOval(int x, int y, int width, int height) override;
    bool NextPage() override;

    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    std::unique_ptr<Surface> measuringSurface() const override;

private:
    Op newOp(Kind kind) const;

    int m_width;
    int m_height;
    QString m_font;
    int m_size = 12;
    bool m_bold = false;
    QColor m_color = Qt::black;
    int m_page = 0;
    QList<Op> m_ops;
};

} // namespace norvale
