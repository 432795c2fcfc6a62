#include "paintersurface.h"

#include <QFile>
#include <QHash>
#include <QPagedPaintDevice>
#include <QPageLayout>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <bit>

#include <unistd.h>

namespace norvale {

PageSetup printerPageSetup(QPrinter &printer)
{
    printer.setFullPage(false);
    printer.setResolution(kPrintResolution);
    const int resolution = printer.resolution();
    const QRect printable = printer.pageLayout().paintRectPixels(resolution);
    return PageSetup{printable.width(), printable.height(), resolution};
}

bool pdfComplete(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16)
        return false;
    if (::fsync(file.handle()) != 0)
        return false;
    file.seek(std::max<qint64>(0, file.size() - 1024));
    return file.readAll().contains("%%EOF");
}

bool printJobDelivered(const QPrinter &printer)
{
    if (printer.printerState() == QPrinter::Error)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return pdfComplete(printer.outputFileName());
    return true;
}

namespace {

// The line width used when a text is not wrapped: wide enough for any line,
// small enough for QTextLayout's fixed-point arithmetic.
constexpr qreal kUnwrapped = 1.0e6;

// The text with every line break ("\r\n", "\n" or "\r") made a Unicode line
// separator, which QTextLayout always breaks after.
QString withLineSeparators(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    for (QChar &c : out) {
        if (c == u'\n' || c == u'\r')
            c = QChar::LineSeparator;
    }
    return out;
}

// The one line-breaking routine behind StringWidth, StringHeight and
// DrawString: QTextLayout breaks the text at its line breaks and, with a
// wrap width, at word boundaries (anywhere inside a word wider than the
// width). Lines are placed one under the other from y = 0 on, each as high as
// QTextLine::height() (a whole number); every line after the first starts at
// the indent and has the wrap width less the indent. Returns the total
// height.
double layOutText(QTextLayout &layout, int wrapWidth, double indent = 0)
{
    QTextOption option;
    option.setTextDirection(Qt::LeftToRight);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(wrapWidth > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                     : QTextOption::NoWrap);
    const qreal lineWidth = wrapWidth > 0 ? qreal(wrapWidth) : kUnwrapped;
    // An indent of more than half the width would leave the hanging lines
    // too little room.
    const qreal hang = wrapWidth > 0 ? std::clamp(qreal(indent), 0.0, lineWidth / 2) : qMax(0.0, indent);
    layout.setTextOption(option);

    double y = 0;
    bool first = true;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(first ? lineWidth : lineWidth - hang);
        line.setPosition(QPointF(first ? 0 : hang, y));
        y += line.height();
        first = false;
    }
    layout.endLayout();
    return y;
}

} // namespace

// Laid-out texts by text, font, wrap width and indent. A page measures its
// clues at several sizes and draws them at one, and its letters and numbers
// repeat from cell to cell and page to page; when the cache has grown past
// its bound it starts afresh.
struct QPainterSurface::LayoutCache {
    struct Entry {
        std::shared_ptr<QTextLayout> layout;
        double height = 0;
    };
    static constexpr qsizetype kMaxEntries = 4096;
    QHash<QString, Entry> entries;
};

QPainterSurface::QPainterSurface(QPaintDevice *device)
    : m_device(device), m_painter(std::make_unique<QPainter>()),
      m_cache(std::make_shared<LayoutCache>())
{
    if (m_painter->begin(device))
        m_painter->setRenderHint(QPainter::Antialiasing, false);
}

QPainterSurface::QPainterSurface(QPaintDevice *device, MeasureOnly) : m_device(device) {}

const QTextLayout &QPainterSurface::laidOut(const QString &text, int wrapWidth, double indent,
                                            double *height)
{
    const QFont &f = font();
    // The font's own key, then the wrap width and the indent as raw bits,
    // then the text.
    QString key;
    key.reserve(m_fontKey.size() + 7 + text.size());
    key += m_fontKey;
    const auto wrapBits = static_cast<quint32>(wrapWidth);
    const auto indentBits = std::bit_cast<quint64>(indent);
    key += QChar(char16_t(wrapBits & 0xFFFF));
    key += QChar(char16_t(wrapBits >> 16));
    for (int shift = 0; shift < 64; shift += 16)
        key += QChar(char16_t((indentBits >> shift) & 0xFFFF));
    key += QChar(0);
    key += text;
    auto found = m_cache->entries.find(key);
    if (found == m_cache->entries.end()) {
        if (m_cache->entries.size() >= LayoutCache::kMaxEntries)
            m_cache->entries.clear();
        LayoutCache::Entry entry;
        entry.layout = std::make_shared<QTextLayout>(withLineSeparators(text), f, m_device);
        // Keeps the shaped glyphs after the layout, so that drawing does not
        // shape the text again.
        entry.layout->setCacheEnabled(true);
        entry.height = layOutText(*entry.layout, wrapWidth, indent);
        found = m_cache->entries.insert(key, entry);
    }
    if (height)
        *height = found->height;
    return *found->layout;
}

QPainterSurface::~QPainterSurface()
{
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool QPainterSurface::isActive() const { return m_painter && m_painter->isActive(); }

bool QPainterSurface::finish()
{
    return isActive() && m_painter->end();
}

void QPainterSurface::TextFont(const QString &family)
{
    if (family != m_family) {
        m_family = family;
        m_fontValid = false;
    }
}

void QPainterSurface::TextSize(int size)
{
    if (size != m_size) {
        m_size = size;
        m_fontValid = false;
    }
}

void QPainterSurface::Bold(bool bold)
{
    if (bold != m_bold) {
        m_bold = bold;
        m_fontValid = false;
    }
}

void QPainterSurface::ForeColor(const QColor &color) { m_color = color; }

const QFont &QPainterSurface::font()
{
    if (!m_fontValid) {
        // The family is looked up through fontconfig, which substitutes a
        // metric-compatible face ("Arial" gives Liberation Sans on Debian).
        // Unhinted metrics scale with the size and do not depend on the
        // device, so a page and an image of the same size measure alike.
        m_font = QFont();
        m_font.setFamily(m_family);
        m_font.setStyleHint(QFont::SansSerif);
        m_font.setPixelSize(std::max(1, m_size));
        m_font.setBold(m_bold);
        m_font.setHintingPreference(QFont::PreferNoHinting);
        m_fontKey = m_font.key();
        m_fontValid = true;
    }
    return m_font;
}

double QPainterSurface::StringWidth(const QString &text)
{
    const QTextLayout &layout = laidOut(text, 0, 0, nullptr);
    double width = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        width = std::max(width, double(layout.lineAt(i).horizontalAdvance()));
    return width;
}

double QPainterSurface::StringHeight(const QString &text, int wrapWidth, double indent)
{
    double height = 0;
    laidOut(text, wrapWidth, indent, &height);
    return height;
}

void QPainterSurface::DrawString(const QString &text, int x, int y, int wrapWidth, double indent)
{
    if (!isActive())
        return;
    usePainterFont();
    m_painter->setPen(QPen(m_color, 1));
    const QTextLayout &layout = laidOut(text, wrapWidth, indent, nullptr);
    // The first line's baseline goes to y.
    layout.draw(m_painter.get(), QPointF(x, qreal(y) - layout.lineAt(0).ascent()));
}

void QPainterSurface::DrawLine(int x1, int y1, int x2, int y2)
{
    if (!isActive())
        return;
    m_painter->setPen(QPen(m_color, 1));
    m_painter->drawLine(x1, y1, x2, y2);
}

void QPainterSurface::FillRect(int x, int y, int width, int height)
{
    if (!isActive())
        return;
    m_painter->fillRect(QRect(x, y, width, height), m_color);
}

void QPainterSurface::DrawOval(int x, int y, int width, int height)
{
    if (!isActive())
        return;
    // Circles are the one curve of the pages; smoothed, they read as circles
    // even at a few units across.
    m_painter->save();
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_painter->setPen(QPen(m_color, 1));
    m_painter->setBrush(Qt::NoBrush);
    m_painter->drawEllipse(QRect(x, y, width, height));
    m_painter->restore();
}

void QPainterSurface::usePainterFont()
{
    // Every change of the painter's font is a command of its own in a
    // print job (and a font written out again in a preview), so the font
    // is set only when it changes.
    const QFont &wanted = font();
    if (m_painterFontSet && m_painterFont == wanted)
        return;
    m_painter->setFont(wanted);
    m_painterFont = wanted;
    m_painterFontSet = true;
}

bool QPainterSurface::NextPage()
{
    m_painterFontSet = false;
    if (!m_painter)
        return true;
    if (!m_painter->isActive())
        return false;
    if (auto *paged = dynamic_cast<QPagedPaintDevice *>(m_device))
        return paged->newPage();
    m_painter->fillRect(QRect(0, 0, Width(), Height()), Qt::white);
    return true;
}

int QPainterSurface::Width() const { return m_device->width(); }

int QPainterSurface::Height() const { return m_device->height(); }

std::unique_ptr<Surface> QPainterSurface::measuringSurface() const
{
    auto measuring = std::unique_ptr<QPainterSurface>(new QPainterSurface(m_device, MeasureOnly{}));
    measuring->m_family = m_family;
    measuring->m_size = m_size;
    measuring->m_bold = m_bold;
    measuring->m_cache = m_cache;
    return measuring;
}

} // namespace norvale
