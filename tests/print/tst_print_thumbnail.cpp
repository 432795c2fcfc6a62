#include "print/thumbnail.h"

#include <QTest>

using namespace norvale;

namespace {

// A record made by hand: the solution rows ("." black) and, when given,
// rows of circle flags ("O" circled).
Puzzle record(const QStringList &rows, const QStringList &circles = {})
{
    Puzzle p;
    p.height = int(rows.size());
    p.width = rows.isEmpty() ? 0 : int(rows.first().size());
    for (const QString &row : rows)
        p.gridBytes += row.toLatin1();
    for (const QString &row : circles) {
        for (const QChar ch : row)
            p.circleCells.append(ch == u'O');
    }
    return p;
}

bool dark(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

// Dark pixels across the middle of a 20-pixel cell, its lines left out.
int darkAcrossCell(const QImage &image, int c, int r)
{
    const int y = 20 * (r - 1) + 10;
    int count = 0;
    for (int x = 20 * (c - 1) + 2; x <= 20 * c - 2; ++x)
        count += dark(image, x, y) ? 1 : 0;
    return count;
}

// 5 x 5 at 100 pixels: cells of 20 pixels. Circles on two white squares,
// on the bottom right one, and on a black square (where none is drawn).
const QStringList kRows{u"A.CDE"_qs, u"FGHIJ"_qs, u"KLMN."_qs, u".PQRS"_qs, u"TUVWX"_qs};
const QStringList kCircles{u"O...."_qs, u"..O.."_qs, u"....."_qs, u"O...."_qs, u"....O"_qs};

} // namespace

class TestPrintThumbnail : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The longer side is the size asked for, the other in proportion, and
    // the frame lies inside the picture on all four sides.
    void sizeAndFrame_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("size");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("15 x 15") << 15 << 15 << 128 << QSize(128, 128);
        QTest::newRow("wide") << 5 << 3 << 100 << QSize(100, 60);
        QTest::newRow("tall") << 3 << 5 << 100 << QSize(60, 100);
        QTest::newRow("odd cell size") << 21 << 21 << 256 << QSize(256, 256);
        QTest::newRow("more cells than pixels") << 255 << 255 << 64 << QSize(64, 64);
        QTest::newRow("one column of 255") << 1 << 255 << 64 << QSize(1, 64);
        QTest::newRow("largest") << 2 << 1 << kMaxThumbnailSize
                                 << QSize(kMaxThumbnailSize, kMaxThumbnailSize / 2);
    }

    void sizeAndFrame()
    {
        QFETCH(int, cols);
        QFETCH(int, rows);
        QFETCH(int, size);
        QFETCH(QSize, expected);
        const QImage image = renderThumbnail(record(QStringList(rows, QString(cols, u'A'))), size);
        QCOMPARE(image.size(), expected);
        const int w = image.width();
        const int h = image.height();
        QVERIFY(dark(image, 0, h / 2) && dark(image, w - 1, h / 2));
        QVERIFY(dark(image, w / 2, 0) && dark(image, w / 2, h - 1));
    }

    void nothingToDraw_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("size");
        QTest::newRow("no grid") << QStringList() << 128;
        QTest::newRow("size 0") << kRows << 0;
        QTest::newRow("negative size") << kRows << -1;
        QTest::newRow("too large") << kRows << kMaxThumbnailSize + 1;
    }

    void nothingToDraw()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, size);
        QVERIFY(renderThumbnail(record(rows), size).isNull());
    }

    // Black squares are filled, white ones stay white inside, and a circled
    // white square shows its circle on both sides of its middle.
    void squaresAndCircles()
    {
        const Puzzle p = record(kRows, kCircles);
        const QImage image = renderThumbnail(p, 100);
        QCOMPARE(image.size(), QSize(100, 100));
        for (int r = 1; r <= 5; ++r) {
            for (int c = 1; c <= 5; ++c) {
                const bool centreDark = dark(image, 20 * (c - 1) + 10, 20 * (r - 1) + 10);
                QVERIFY2(centreDark == p.isBlack(c, r), qPrintable(u"cell %1,%2"_qs.arg(c).arg(r)));
                if (p.isBlack(c, r))
                    continue;
                const int across = darkAcrossCell(image, c, r);
                if (p.circled(c, r))
                    QVERIFY2(across >= 2, qPrintable(u"circle %1,%2"_qs.arg(c).arg(r)));
                else
                    QVERIFY2(across == 0, qPrintable(u"cell %1,%2"_qs.arg(c).arg(r)));
            }
        }
    }

    // A diagramless puzzle keeps where its black squares are to itself.
    void diagramlessShowsFrameOnly()
    {
        Puzzle p = record(kRows, kCircles);
        p.puzzleType = Puzzle::kDiagramless;
        const QImage image = renderThumbnail(p, 100);
        for (int r = 1; r <= 5; ++r) {
            for (int c = 1; c <= 5; ++c) {
                QVERIFY(!dark(image, 20 * (c - 1) + 10, 20 * (r - 1) + 10));
                QCOMPARE(darkAcrossCell(image, c, r), 0);
            }
        }
        QVERIFY(dark(image, 0, 50) && dark(image, 99, 50) && dark(image, 40, 50));
    }
};

QTEST_APPLESS_MAIN(TestPrintThumbnail)
#include "tst_print_thumbnail.moc"
