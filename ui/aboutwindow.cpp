#include "aboutwindow.h"

#include "norvale_version.h"
#include "ui/shell/menubar.h"
#include "ui/shell/miscutilities.h"
#include "winhelp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QStringList>
#include <QTextEdit>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

// Outside any namespace, as the resource system wants it.
static void initPictureResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace norvale::ui {

namespace {

constexpr int kBadgePicture = 168;
constexpr int kBadgeMask = 169;
constexpr int kIconMask = 170;
constexpr int kIconPicture = 171;

constexpr QRect kIconDesign(110, 8, 64, 64);
constexpr QRect kCreditsDesign(0, 132, 284, 140);
constexpr QSize kBadgeSize(216, 30);

// A control that paints itself through a handler of the window and passes
// mouse presses to another.
class Canvas : public QWidget {
public:
    Canvas(QWidget *parent, const QString &name, std::function<void(QPainter &)> paint)
        : QWidget(parent), m_paint(std::move(paint))
    {
        setObjectName(name);
        setFocusPolicy(Qt::NoFocus);
    }

    std::function<bool(int, int)> mouseDown;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter g(this);
        m_paint(g);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        const QPoint at = event->position().toPoint();
        event->setAccepted(mouseDown && mouseDown(at.x(), at.y()));
    }

private:
    std::function<void(QPainter &)> m_paint;
};

QLabel *newStaticText(QWidget *parent, const QString &name, QRect design, qreal points, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(design);
    label->setAlignment(Qt::AlignCenter);
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(colours);
    return label;
}

} // namespace

QImage Picture(int number)
{
    static QHash<int, QImage> loaded;
    const auto found = loaded.constFind(number);
    if (found != loaded.constEnd())
        return *found;
    initPictureResources();
    const QImage picture(QStringLiteral(":/norvale/pictures/%1.png").arg(number));
    if (picture.isNull())
        throw std::runtime_error("no picture " + std::to_string(number) + " in the resources");
    loaded.insert(number, picture);
    return picture;
}

QImage maskedPicture(int picture, int mask)
{
    QImage out = Picture(picture).convertToFormat(QImage::Format_ARGB32);
    // The mask goes at the top left in its own size; what it does not cover
    // stays transparent.
    QImage alpha(out.size(), QImage::Format_Grayscale8);
    alpha.fill(Qt::white);
    {
        QPainter g(&alpha);
        g.drawImage(0, 0, Picture(mask));
    }
    alpha.invertPixels();
    out.setAlphaChannel(alpha);
    return out;
}

QIcon applicationIcon()
{
    return QIcon(QPixmap::fromImage(maskedPicture(kIconPicture, kIconMask)));
}

AboutWindow::AboutWindow(QWidget *parent)
    : QMainWindow(parent), m_openUrl(&QDesktopServices::openUrl)
{
    Layout();
    CreateControls();
    AddMenuHandlers();
}

void AboutWindow::Layout()
{
    setObjectName(QStringLiteral("AboutWindow"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    setMenuBar(MenuBar1().createMenuBarWidget(this));
    // The controls sit on a content area of the design size below the bar;
    // the box keeps the size of the two together, so the bar takes nothing
    // from the design.
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    content->setFixedSize(kWidth, kHeightWithCredits);
    content->installEventFilter(this);
    setCentralWidget(content);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutWindow::CreateControls()
{
    QWidget *content = centralWidget();
    AppIconCanvas = new Canvas(content, QStringLiteral("AppIconCanvas"),
                               [this](QPainter &g) { AppIconCanvas_Paint(g); });
    AppIconCanvas->setGeometry(kIconDesign);

    StatAppName =
        newStaticText(content, QStringLiteral("StatAppName"), QRect(20, 86, 244, 16), 14, true);
    StatAppName->setText(QStringLiteral("StatAppName"));
    StatAppVersion = newStaticText(content, QStringLiteral("StatAppVersion"),
                                   QRect(20, 112, 244, 12), 10, false);
    StatAppVersion->setText(QStringLiteral("StatAppVersion"));

    EditAppCredits = newStyledTextField(content, QStringLiteral("EditAppCredits"));
    EditAppCredits->setGeometry(kCreditsDesign);
    EditAppCredits->installEventFilter(this);

    StatAppCopyright = newStaticText(content, QStringLiteral("StatAppCopyright"),
                                     QRect(20, 280, 244, 32), 10, false);
    StatAppCopyright->setWordWrap(true);
    StatAppCopyright->setText(QStringLiteral("StatAppCopyright"));

    auto *badge = new Canvas(content, QStringLiteral("BadgeCanvas"),
                             [this](QPainter &g) { BadgeCanvas_Paint(g); });
    badge->mouseDown = [this](int x, int y) { return BadgeCanvas_MouseDown(x, y); };
    badge->setGeometry(QRect(QPoint(34, 324), kBadgeSize));
    badge->setCursor(Qt::PointingHandCursor);
    badge->setToolTip(vendorPage().toString());
    BadgeCanvas = badge;
}

void AboutWindow::Show(bool useCredits)
{
    UseCredits = useCredits;
    SetupWindow();
    if (!isVisible()) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
    activateWindow();
}

void AboutWindow::SetupWindow()
{
    StatAppName->setText(QStringLiteral("Norvale"));
    StatAppVersion->setText(QStringLiteral("Version ") + VersionString());
    StatAppCopyright->setText(copyrightNotice());
    if (UseCredits) {
        SetCreditsFieldText(credits(), true);
        StatAppCopyright->move(20, 280);
        EditAppCredits->setVisible(true);
        centralWidget()->setFixedSize(kWidth, kHeightWithCredits);
        BadgeCanvas->move(34, 324);
    } else {
        EditAppCredits->setVisible(false);
        StatAppCopyright->move(20, 132);
        centralWidget()->setFixedSize(kWidth, kHeightWithoutCredits);
        BadgeCanvas->move(34, 176);
    }
    // The box takes its new height now, not when the layout gets round to it.
    layout()->activate();
}

void AboutWindow::SetCreditsFieldText(const QString &text, bool markup)
{
    // Into the document itself: the field's own setPlainText would give the
    // whole text the style at the cursor, which a click may have put into
    // the small print.
    EditAppCredits->document()->setPlainText(text);
    if (markup)
        renderFieldMarkup(*EditAppCredits, false);
}

QString AboutWindow::VersionString(int major, int minor, int bug, int stageCode, int nonRelease)
{
    QString text = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(bug);
    switch (stageCode) {
    case 0:
        text += QStringLiteral(" (Dev. %1)").arg(nonRelease);
        break;
    case 1:
        text += QStringLiteral("a (%1)").arg(nonRelease);
        break;
    case 2:
        text += QStringLiteral("b (%1)").arg(nonRelease);
        break;
    case 3:
        text += QStringLiteral(" (%1)").arg(nonRelease);
        break;
    default:
        break;
    }
    return text;
}

QString AboutWindow::VersionString()
{
    using namespace norvale::version;
    return VersionString(MajorVersion, MinorVersion, BugVersion, StageCode, NonReleaseVersion);
}

QString AboutWindow::credits()
{
    const QStringList lines = {
        QStringLiteral("<b>Written by</b>"),
        QStringLiteral("    The Norvale developers"),
        QString(),
        QStringLiteral("<b>Disclaimer</b>"),
        QStringLiteral("<font size=\"10\">THIS SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF "
                       "ANY KIND, EXPRESS OR IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES "
                       "OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. "
                       "IN NO EVENT SHALL THE AUTHORS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER "
                       "LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING "
                       "FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER "
                       "DEALINGS IN THE SOFTWARE.</font>"),
    };
    return lines.join(u'\r');
}

QString AboutWindow::copyrightNotice()
{
    return QStringLiteral("\u00a9 2026 The Norvale developers\nAll rights reserved.");
}

QUrl AboutWindow::vendorPage()
{
    return QUrl(QStringLiteral("https://www.qt.io/"));
}

void AboutWindow::setUrlOpener(UrlOpener opener)
{
    m_openUrl = opener ? std::move(opener) : UrlOpener(&QDesktopServices::openUrl);
}

void AboutWindow::AppIconCanvas_Paint(QPainter &g)
{
    const QImage icon = maskedPicture(kIconPicture, kIconMask);
    g.setRenderHint(QPainter::SmoothPixmapTransform);
    g.drawImage(QRect(0, 0, 64, 64), icon, icon.rect());
}

void AboutWindow::BadgeCanvas_Paint(QPainter &g)
{
    const QImage badge = maskedPicture(kBadgePicture, kBadgeMask);
    g.drawImage(QRect(QPoint(0, 0), kBadgeSize), badge, QRect(QPoint(0, 0), kBadgeSize));
}

bool AboutWindow::BadgeCanvas_MouseDown(int x, int y)
{
    Q_UNUSED(x);
    Q_UNUSED(y);
    m_openUrl(vendorPage());
    return false;
}

void AboutWindow::EditAppCredits_GotFocus()
{
    MiscUtilities::CurrentEditField = EditAppCredits;
}

void AboutWindow::EditAppCredits_LostFocus()
{
    MiscUtilities::CurrentEditField = nullptr;
}

// The registrations go with the box when it is destroyed.
void AboutWindow::AddMenuHandlers()
{
    MenuBar &bar = MenuBar1();
    bar.AddMenuHandler(this, QStringLiteral("FileCloseWindow"),
                       [this] { _FileCloseWindow_Action(); });
    bar.AddMenuHandler(this, QStringLiteral("EditSelectAll"), [this] { _EditSelectAll_Action(); });
}

void AboutWindow::_FileCloseWindow_Action()
{
    close();
}

void AboutWindow::_EditSelectAll_Action()
{
    MiscUtilities::SelectAll();
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && EditAppCredits && event->type() == QEvent::Resize) {
        // The credits field is anchored to all four edges of the content area.
        const QSize size = centralWidget()->size();
        const int dy = size.height() - kHeightWithCredits;
        const int dx = size.width() - kWidth;
        EditAppCredits->setGeometry(
            kCreditsDesign.adjusted(0, 0, dx, std::max(dy, -kCreditsDesign.height())));
    } else if (watched == EditAppCredits) {
        if (event->type() == QEvent::FocusIn)
            EditAppCredits_GotFocus();
        else if (event->type() == QEvent::FocusOut)
            EditAppCredits_LostFocus();
    }
    return QMainWindow::eventFilter(watched, event);
}

AboutWindow &aboutWindow()
{
    static QPointer<AboutWindow> window;
    if (!window)
        window = new AboutWindow;
    return *window;
}

} // namespace norvale::ui
