#pragma once

#include "surface.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <memory>

class QPaintDevice;
class QPainter;
class QPrinter;
class QTextLayout;

namespace norvale {

// The units per inch every print job is set up with.
inline constexpr int kPrintResolution = 144;

// Sets the printer up for Norvale's pages (144 units per inch, origin at the
// printable area's top left) and returns the size of its printable area in
// those units. Call it before a QPainterSurface is opened on the printer.
PageSetup printerPageSetup(QPrinter &printer);

// Whether the PDF file at path is whole: flushed to disk and ending with its
// end-of-file marker. The PDF engine does not report failed writes (a full
// disk), so this is how a PDF job's failure shows.
bool pdfComplete(const QString &path);

// Whether a print job that has been ended delivered its pages: the printer
// reports no error and, when it wrote a PDF file, that file is complete.
bool printJobDelivered(const QPrinter &printer);

// A surface that paints with QPainter on any paint device: a QPrinter (for
// printing and PDF; NextPage starts the printer's next page) or a QImage
// (NextPage clears it to white).
//
// Text is laid out by one routine for measuring and drawing: QTextLayout
// breaks it at every line break ("\n", "\r\n" or "\r") and, with a wrap
// width, at word boundaries, or anywhere inside a word wider than the width;
// lines after the first hang by the indent.
// Every line is as high as the font's line spacing (a whole number of
// units), so texts joined by "\n" measure the sum of their heights. Type
// sizes are pixel sizes of the device.
class QPainterSurface final : public Surface {
public:
    // Begins painting on the device at once; isActive() says whether that
    // worked. The device must outlive the surface and its measuring surfaces.
    explicit QPainterSurface(QPaintDevice *device);
    ~QPainterSurface() override;

    QPainterSurface(const QPainterSurface &) = delete;
    QPainterSurface &operator=(const QPainterSurface &) = delete;

    bool isActive() const;
    // Ends painting; for a printer this finishes the job (writes the PDF or
    // hands the job to the print service). False when the device failed.
    bool finish();

    void TextFont(const QString &family) override;
    void TextSize(int size) override;
    int TextSize() const override { return m_size; }
    void Bold(bool bold) override;
    void ForeColor(const QColor &color) override;

    double StringWidth(const QString &text) override;
    double StringHeight(const QString &text, int wrapWidth, double indent = 0) override;
    void DrawString(const QString &text, int x, int y, int wrapWidth = 0, double indent = 0) override;
    void DrawLine(int x1, int y1, int x2, int y2) override;
    void FillRect(int x, int y, int width, int height) override;
    void DrawOval(int x, int y, int width, int height) override;

    bool NextPage() override;

    int Width() const override;
    int Height() const override;

    // Measures with the same device and fonts, and draws nothing.
    std::unique_ptr<Surface> measuringSurface() const override;

    struct LayoutCache;

private:
    struct MeasureOnly {};
    QPainterSurface(QPaintDevice *device, MeasureOnly);

    const QFont &font();
    void usePainterFont();
    // The text laid out at the current font, wrap width and indent. Layouts
    // are kept and shared with the measuring surfaces, so that a text that
    // is measured and then drawn, or drawn again (a letter, a clue number),
    // is shaped once.
    const QTextLayout &laidOut(const QString &text, int wrapWidth, double indent, double *height);

    QPaintDevice *m_device;
    std::unique_ptr<QPainter> m_painter; // null on a measuring surface
    QString m_family = QStringLiteral("Arial");
    int m_size = 12;
    bool m_bold = false;
    QColor m_color = Qt::black;
    QFont m_font;
    QString m_fontKey;
    bool m_fontValid = false;
    std::shared_ptr<LayoutCache> m_cache;
    QFont m_painterFont;
    bool m_painterFontSet = false;
};

} // namespace norvale
