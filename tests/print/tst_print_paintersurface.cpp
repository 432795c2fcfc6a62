#include "print/layout.h"
#include "print/paintersurface.h"

#include <QImage>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

#include <numeric>

using namespace norvale;

namespace {

// Rows of the image that hold ink, grouped into bands of adjacent rows.
struct Ink {
    QList<QPair<int, int>> bands; // first and last row
    int left = -1;
    int right = -1;
};

Ink inkOf(const QImage &image)
{
    Ink ink;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool inked = false;
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                inked = true;
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
        }
        if (inked && !inBand)
            ink.bands.append({y, y});
        if (inked)
            ink.bands.last().second = y;
        inBand = inked;
    }
    return ink;
}

QImage whitePage()
{
    QImage image(600, 400, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

class TestPainterSurface : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // StringHeight and DrawString break lines alike: the drawn text shows as
    // many bands of ink as the measured height holds lines (less the empty
    // ones), and wrapped text stays within its width.
    void drawnLinesMatchHeight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("wrapWidth");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("emptyLines");

        QTest::newRow("one line") << QStringLiteral("Hello world") << 0 << 1 << 0;
        QTest::newRow("line break") << QStringLiteral("Hello\nworld") << 0 << 2 << 0;
        QTest::newRow("CR LF") << QStringLiteral("Hello\r\nworld") << 0 << 2 << 0;
        QTest::newRow("trailing break") << QStringLiteral("Across Clues\n") << 0 << 2 << 1;
        QTest::newRow("empty lines") << QStringLiteral("A\n\n\nB") << 0 << 4 << 2;
        QTest::newRow("long line, no wrap") << QStringLiteral("the quick brown fox jumps over the lazy dog") << 0 << 1 << 0;
        // Capitals, so that no line is a lone "i" whose dot would count as a
        // line of its own.
        QTest::newRow("wrapped") << QStringLiteral("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG") << 150 << -1 << 0;
        QTest::newRow("indented continuation")
            << (QStringLiteral("12   ") + WrapClue(QStringLiteral("COUNTRY WHOSE CAPITAL IS OUAGADOUGOU, IN WEST AFRICA"), 33))
            << 250 << -1 << 0;
        QTest::newRow("word wider than the width") << QStringLiteral("SUPERCALIFRAGILISTICEXPIALIDOCIOUS") << 100 << -1 << 0;
    }

    void drawnLinesMatchHeight()
    {
        QFETCH(QString, text);
        QFETCH(int, wrapWidth);
        QFETCH(int, lines);
        QFETCH(int, emptyLines);

        QImage image = whitePage();
        QPainterSurface surface(&image);
        QVERIFY(surface.isActive());
        surface.TextFont(QStringLiteral("Arial"));
        surface.TextSize(20);
        const double lineHeight = surface.StringHeight(QStringLiteral("X"), 0);
        QVERIFY(lineHeight >= 20 && lineHeight <= 26);
        const double height = surface.StringHeight(text, wrapWidth);
        const int measuredLines = int(height / lineHeight);
        QCOMPARE(measuredLines * lineHeight, height);
        if (lines > 0)
            QCOMPARE(measuredLines, lines);
        else
            QVERIFY(measuredLines > 1);

        surface.DrawString(text, 10, 50, wrapWidth);
        surface.finish();
        const Ink ink = inkOf(image);
        QCOMPARE(int(ink.bands.size()), measuredLines - emptyLines);
        QVERIFY(ink.bands.constFirst().first >= 50 - lineHeight);
        QVERIFY(ink.bands.constLast().second <= 50 - 0.8 * 20 + height);
        if (wrapWidth > 0)
            QVERIFY2(ink.right <= 10 + wrapWidth, qPrintable(QString::number(ink.right)));
    }

    void firstBaselineAtY()
    {
        QImage image = whitePage();
        QPainterSurface surface(&image);
        surface.TextSize(30);
        surface.DrawString(QStringLiteral("HELLO\nWORLD"), 20, 100);
        surface.finish();
        const Ink ink = inkOf(image);
        QVERIFY2(qAbs(ink.bands.constFirst().second - 99) <= 1, qPrintable(QString::number(ink.bands.constFirst().second)));
        QVERIFY(qAbs(ink.left - 20) <= 3);
    }

    // The clue columns are measured entry by entry: the height of texts
    // joined by line breaks must be the sum of their heights.
    void heightsAdd_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("bold");
        QTest::newRow("8") << 8 << false;
        QTest::newRow("11") << 11 << false;
        QTest::newRow("17") << 17 << false;
        QTest::newRow("22 bold") << 22 << true;
    }

    void heightsAdd()
    {
        QFETCH(int, size);
        QFETCH(bool, bold);
        const QStringList entries{
            QStringLiteral("Across Clues\n"),
            QStringLiteral("1   ") + WrapClue(QStringLiteral("A fairly long clue that goes on and on about nothing in particular"), 33),
            QString(),
            QString(),
            QStringLiteral("Down Clues\n"),
            QStringLiteral("2   Supercalifragilisticexpialidocious and more"),
        };
        QImage image = whitePage();
        QPainterSurface surface(&image);
        surface.TextSize(size);
        surface.Bold(bold);
        double sum = 0;
        for (const QString &entry : entries)
            sum += surface.StringHeight(entry, 140);
        QCOMPARE(surface.StringHeight(entries.join(u'\n'), 140), sum);
    }

    // The measuring surface measures like the page and draws nothing; an
    // image and a printer page at the same sizes measure alike.
    void measuringAgreesWithThePage()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("m.pdf")));
        printerPageSetup(printer);
        QPainterSurface page(&printer);
        QVERIFY(page.isActive());
        QImage image = whitePage();
        QPainterSurface picture(&image);

        const QString text = QStringLiteral("12   A clue of some length, wrapped\n       over two lines");
        for (int size : {8, 14, 22}) {
            for (bool bold : {false, true}) {
                for (Surface *s : {static_cast<Surface *>(&page), static_cast<Surface *>(&picture)}) {
                    s->TextSize(size);
                    s->Bold(bold);
                }
                const auto measuring = page.measuringSurface();
                QCOMPARE(measuring->TextSize(), size);
                QCOMPARE(measuring->StringHeight(text, 120), page.StringHeight(text, 120));
                QCOMPARE(measuring->StringWidth(text), page.StringWidth(text));
                QCOMPARE(picture.StringHeight(text, 120), page.StringHeight(text, 120));
                QCOMPARE(picture.StringWidth(text), page.StringWidth(text));
                QCOMPARE(measuring->Width(), page.Width());
                QCOMPARE(measuring->Height(), page.Height());
            }
        }
        const auto measuring = picture.measuringSurface();
        measuring->DrawString(text, 10, 50);
        measuring->FillRect(0, 0, 100, 100);
        picture.finish();
        QVERIFY(inkOf(image).bands.isEmpty());
        page.finish();
    }

    void printerSetup_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("pageSize");
        QTest::addColumn<QSizeF>("inches");
        QTest::newRow("A4") << QPageSize::A4 << QSizeF(8.27, 11.69);
        QTest::newRow("Letter") << QPageSize::Letter << QSizeF(8.5, 11.0);
    }

    void printerSetup()
    {
        QFETCH(QPageSize::PageSizeId, pageSize);
        QFETCH(QSizeF, inches);
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("p.pdf")));
        printer.setPageSize(QPageSize(pageSize));
        const PageSetup page = printerPageSetup(printer);
        QCOMPARE(page.resolution, 144);
        QVERIFY(page.width <= inches.width() * 144 && page.width > inches.width() * 144 * 0.8);
        QVERIFY(page.height <= inches.height() * 144 && page.height > inches.height() * 144 * 0.8);
        QPainterSurface surface(&printer);
        QCOMPARE(surface.Width(), page.width);
        QCOMPARE(surface.Height(), page.height);
        QVERIFY(surface.finish());
    }

    void nextPageClearsAnImage()
    {
        QImage image = whitePage();
        QPainterSurface surface(&image);
        surface.FillRect(10, 10, 50, 50);
        QVERIFY(surface.NextPage());
        surface.DrawLine(0, 200, 599, 200);
        surface.finish();
        const Ink ink = inkOf(image);
        QCOMPARE(ink.bands.size(), 1);
        QCOMPARE(ink.bands.constFirst(), qMakePair(200, 200));
    }
};

QTEST_MAIN(TestPainterSurface)
#include "tst_print_paintersurface.moc"
