#pragma once

#include <QImage>
#include <QMainWindow>
#include <QString>
#include <QUrl>

#include <functional>

class QIcon;
class QLabel;
class QPainter;
class QTextEdit;

namespace norvale::ui {

// The About box: the application's icon, name and version, the credits, the
// copyright notice and the "Built with Qt" badge, which opens the vendor's
// page, under the shared menu bar. The sizes and positions are those of the
// content area below the bar: shown with credits it is 366 high, without
// them 218, and the box is as much taller as the bar needs.
class AboutWindow : public QMainWindow {
    Q_OBJECT
public:
    // Applies the window's design (Layout), creates its controls
    // (CreateControls) and registers its menu commands (AddMenuHandlers);
    // the texts are filled in by SetupWindow. Not shown yet.
    explicit AboutWindow(QWidget *parent = nullptr);

    static constexpr int kWidth = 284;
    static constexpr int kHeightWithCredits = 366;
    static constexpr int kHeightWithoutCredits = 218;

    // Controls, in creation order.
    QWidget *AppIconCanvas = nullptr;
    QLabel *StatAppName = nullptr;
    QLabel *StatAppVersion = nullptr;
    QTextEdit *EditAppCredits = nullptr;
    QLabel *StatAppCopyright = nullptr;
    QWidget *BadgeCanvas = nullptr;

    // Whether the credits field is part of the box; Show sets it.
    bool UseCredits = true;

    // Sets UseCredits, sets the box up afresh, shows it and brings it to
    // the front. The first time it is shown it is centred on the main screen.
    void Show(bool useCredits);
    // Fills in the texts and arranges the box for UseCredits.
    void SetupWindow();
    // Sets the credits field's text; with markup, renders its tags (no
    // entities) and shows it from the first line with nothing selected.
    void SetCreditsFieldText(const QString &text, bool markup);

    // "1.2.0" and the stage: " (Dev. 7)", "a (7)", "b (7)" or " (7)" for the
    // stage codes 0 to 3, nothing for any other.
    static QString VersionString(int major, int minor, int bug, int stageCode, int nonRelease);
    // The version of this build.
    static QString VersionString();

    // The credits, marked up, and the two lines of the copyright notice.
    static QString credits();
    static QString copyrightNotice();
    // The framework vendor's page, which the badge opens.
    static QUrl vendorPage();

    // How the badge opens a web page; the desktop's browser unless replaced.
    using UrlOpener = std::function<bool(const QUrl &)>;
    void setUrlOpener(UrlOpener opener);

    void AppIconCanvas_Paint(QPainter &g);
    void BadgeCanvas_Paint(QPainter &g);
    // Opens the vendor's page; answers false: the click is not taken.
    bool BadgeCanvas_MouseDown(int x, int y);
    void EditAppCredits_GotFocus();
    void EditAppCredits_LostFocus();

    // The menu commands this box takes while it is in front: "Close Window"
    // and the Edit menu's select-all entry.
    void AddMenuHandlers();
    void _FileCloseWindow_Action();
    void _EditSelectAll_Action();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Layout();
    void CreateControls();

    UrlOpener m_openUrl;
};

// The single About box, created on first use (not shown: see Show). Closing
// it destroys it.
AboutWindow &aboutWindow();

// A picture of the application's resources by number: 168 the badge, 169
// its mask, 170 the icon's mask, 171 the application icon. Loaded on first
// use and kept. Throws std::runtime_error when there is no such picture.
QImage Picture(int number);

// The picture with its mask applied: where the mask is black the picture
// shows, where it is white it is transparent, greys in between.
QImage maskedPicture(int picture, int mask);

// The application icon, for the windows and the desktop.
QIcon applicationIcon();

} // namespace norvale::ui
