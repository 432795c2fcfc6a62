// Draws the About box's pictures and the application icon into a folder:
//   icon.png      the application icon, 256 x 256, opaque
//   iconmask.png  its mask (black opaque, white transparent, greys between)
//   badge.png     the "Built with Qt" badge, 216 x 30, opaque
//   badgemask.png its mask
//   norvale.png   the icon with its mask applied, for the desktop
// The PNGs are kept in the repository; after a change to the drawing, build
// and run this once and commit what it writes:
//   cmake --build build --target norvale_drawpictures
//   QT_QPA_PLATFORM=offscreen build/ui/norvale_drawpictures ui/resources

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

constexpr int kIconSize = 256;
constexpr QSize kBadgeSize(216, 30);

QPainterPath iconShape()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(8, 8, 240, 240), 48, 48);
    return path;
}

QPainterPath badgeShape()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0.5, 0.5, 215, 29), 7, 7);
    return path;
}

QPainterPath triangle(QPointF a, QPointF b, QPointF c)
{
    QPainterPath path(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// Black where the shape is, white elsewhere, antialiased at the edge.
QImage maskOf(const QPainterPath &shape, QSize size)
{
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(Qt::white);
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(shape, Qt::black);
    return mask;
}

QImage drawIcon()
{
    QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 8, 0, 248);
    sky.setColorAt(0, QColor(0x3f, 0x7c, 0xc4));
    sky.setColorAt(1, QColor(0x1d, 0x4a, 0x86));
    p.fillPath(iconShape(), sky);

    // A sheet of paper with a printed 5 x 5 crossword and two lines of clues.
    const QRectF sheet(50, 34, 156, 188);
    p.fillRect(sheet.translated(5, 6), QColor(0, 0, 0, 70));
    p.fillRect(sheet, QColor(0xfc, 0xfc, 0xf8));

    constexpr qreal cell = 26;
    const QPointF grid(63, 48);
    const bool black[5][5] = {
        {false, false, false, false, true},
        {false, true, false, false, false},
        {false, false, false, false, false},
        {false, false, false, true, false},
        {true, false, false, false, false},
    };
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            const QRectF r(grid.x() + column * cell, grid.y() + row * cell, cell, cell);
            if (black[row][column])
                p.fillRect(r, QColor(0x22, 0x22, 0x22));
        }
    }
    p.setPen(QPen(QColor(0x22, 0x22, 0x22), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(grid, QSizeF(5 * cell, 5 * cell)));
    p.setPen(QPen(QColor(0x22, 0x22, 0x22), 1.2));
    for (int i = 1; i < 5; ++i) {
        p.drawLine(QPointF(grid.x() + i * cell, grid.y()), QPointF(grid.x() + i * cell, grid.y() + 5 * cell));
        p.drawLine(QPointF(grid.x(), grid.y() + i * cell), QPointF(grid.x() + 5 * cell, grid.y() + i * cell));
    }
    // The first answer, pencilled in.
    QFont letters(QStringLiteral("DejaVu Sans"));
    letters.setPixelSize(18);
    letters.setBold(true);
    p.setFont(letters);
    p.setPen(QColor(0x55, 0x55, 0x5a));
    const QString word = QStringLiteral("NORV");
    for (int i = 0; i < word.size(); ++i)
        p.drawText(QRectF(grid.x() + i * cell, grid.y() + 3, cell, cell), Qt::AlignCenter, word.mid(i, 1));

    p.setPen(QPen(QColor(0xa8, 0xad, 0xb8), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(66, 192), QPointF(176, 192));
    p.drawLine(QPointF(66, 206), QPointF(146, 206));

    // A pencil across the lower right corner, pointing at the grid.
    p.save();
    p.translate(190, 190);
    p.rotate(-135);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf6, 0xb9, 0x3b));
    p.drawRect(QRectF(-40, -11, 92, 22));
    p.setBrush(QColor(0xe0, 0x9a, 0x1c));
    p.drawRect(QRectF(-40, 3.5, 92, 7.5));
    p.setBrush(QColor(0xb8, 0xbc, 0xc4));
    p.drawRect(QRectF(-54, -11, 14, 22));
    p.setBrush(QColor(0xe8, 0x7a, 0x8c));
    QPainterPath eraser;
    eraser.addRoundedRect(QRectF(-70, -11, 18, 22), 5, 5);
    p.drawPath(eraser);
    p.setBrush(QColor(0xf3, 0xd9, 0xb1));
    p.drawPath(triangle(QPointF(52, -11), QPointF(78, 0), QPointF(52, 11)));
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawPath(triangle(QPointF(70, -3.4), QPointF(78, 0), QPointF(70, 3.4)));
    p.restore();

    // A light rim, so that the icon holds on a dark background too.
    p.setPen(QPen(QColor(255, 255, 255, 60), 3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(iconShape());
    return image;
}

QImage drawBadge()
{
    QImage image(kBadgeSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient shade(0, 0, 0, kBadgeSize.height());
    shade.setColorAt(0, QColor(0x40, 0x44, 0x4a));
    shade.setColorAt(1, QColor(0x24, 0x27, 0x2b));
    p.setPen(QPen(QColor(0x15, 0x17, 0x19), 1));
    p.setBrush(shade);
    p.drawPath(badgeShape());

    QFont plain(QStringLiteral("DejaVu Sans"));
    plain.setPixelSize(14);
    QFont bold = plain;
    bold.setBold(true);
    bold.setPixelSize(16);
    const QString lead = QStringLiteral("Built with ");
    const QString name = QStringLiteral("Qt");
    const qreal leadWidth = QFontMetricsF(plain).horizontalAdvance(lead);
    const qreal nameWidth = QFontMetricsF(bold).horizontalAdvance(name);
    const qreal x = (kBadgeSize.width() - leadWidth - nameWidth) / 2;
    const qreal baseline = 20.5;
    p.setPen(QColor(0xf2, 0xf2, 0xf2));
    p.setFont(plain);
    p.drawText(QPointF(x, baseline), lead);
    p.setPen(QColor(0x4c, 0xd2, 0x5c));
    p.setFont(bold);
    p.drawText(QPointF(x + leadWidth, baseline), name);
    return image;
}

// The picture with the mask applied: black in the mask is opaque.
QImage applyMask(const QImage &picture, const QImage &mask)
{
    QImage alpha = mask.convertToFormat(QImage::Format_Grayscale8);
    alpha.invertPixels();
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    out.setAlphaChannel(alpha);
    return out;
}

bool save(const QImage &image, const QString &folder, const char *name)
{
    const QString path = folder + u'/' + QString::fromLatin1(name);
    if (image.save(path))
        return true;
    std::fprintf(stderr, "drawpictures: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawpictures FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QImage icon = drawIcon();
    const QImage iconMask = maskOf(iconShape(), icon.size());
    const QImage badge = drawBadge();
    const QImage badgeMask = maskOf(badgeShape(), badge.size());
    const bool ok = save(icon, folder, "icon.png") && save(iconMask, folder, "iconmask.png")
                    && save(badge, folder, "badge.png") && save(badgeMask, folder, "badgemask.png")
                    && save(applyMask(icon, iconMask), folder, "norvale.png");
    return ok ? 0 : 1;
}
