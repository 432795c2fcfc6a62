#pragma once

// What every window shares: the menu bar MenuBar1 and, in
// miscutilities.h, the Edit menu's select-all targets. Builds on Qt Widgets
// only, so that the windows and the application object both build on it.

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>

#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace norvale {

// MenuBar1: the one set of menus that the application and every window
// share. Entries are found by name; a command goes to the front window's
// handler for the entry, otherwise to the application's. Shortcuts act for
// whichever Norvale window is in front, and before a menu opens or a
// shortcut is looked up every entry's enabled state is worked out afresh.
class MenuBar : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    // Builds File, Edit and Help with their entries.
    MenuBar();
    ~MenuBar() override;

    // The entry of that name (a menu's own entry for "FileMenu", "EditMenu"
    // and "HelpMenu"), or nullptr.
    QAction *entry(QStringView name) const;
    QMenu *menu(QStringView name) const;
    // Every entry in the order built, each menu's own entry before its items.
    QList<QAction *> entries() const;
    // Whether the entry starts out enabled each time the states are worked out.
    bool autoEnable(const QAction *entry) const;

    // A menu bar control that shows the shared menus, for a window.
    QMenuBar *createMenuBarWidget(QWidget *window);

    // Registers the handler of window for the entry of that name; a nullptr
    // window registers the application's. Registering again replaces it. A
    // window's registrations go when the window is destroyed.
    void AddMenuHandler(QWidget *window, const QString &entry, Handler handler);
    // The window's (nullptr: the application's) Event_EnableMenuItems.
    void SetEnableMenuItems(QWidget *window, Handler handler);

    // Every item with its auto-enable flag on is enabled and every other
    // item disabled; then the application's Event_EnableMenuItems runs, then
    // the front window's. The menus themselves stay available.
    void EnableMenuItems();
    // Runs the front window's handler for the entry, otherwise the
    // application's. Returns false when neither has one.
    bool Dispatch(const QString &entry);

    // The window the menu bar works for: the active window.
    static QWidget *frontWindow();

    QAction *FileMenu() const { return entry(u"FileMenu"); }
    QAction *FileNewAttachment() const { return entry(u"FileNewAttachment"); }
    QAction *FileCloseWindow() const { return entry(u"FileCloseWindow"); }
    QAction *FilePrintPreview() const { return entry(u"FilePrintPreview"); }
    QAction *UntitledMenu2() const { return entry(u"UntitledMenu2"); }
    QAction *FileQuit() const { return entry(u"FileQuit"); }
    QAction *EditMenu() const { return entry(u"EditMenu"); }
    QAction *EditUndo() const { return entry(u"EditUndo"); }
    QAction *UntitledMenu1() const { return entry(u"UntitledMenu1"); }
    QAction *EditCut() const { return entry(u"EditCut"); }
    QAction *EditCopy() const { return entry(u"EditCopy"); }
    QAction *EditPaste() const { return entry(u"EditPaste"); }
    QAction *EditClear() const { return entry(u"EditClear"); }
    QAction *UntitledMenu0() const { return entry(u"UntitledMenu0"); }
    QAction *EditSelectAll() const { return entry(u"EditSelectAll"); }
    QAction *HelpMenu() const { return entry(u"HelpMenu"); }
    QAction *HelpHelp() const { return entry(u"HelpHelp"); }
    QAction *AppleAboutBexwind() const { return entry(u"AppleAboutBexwind"); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Registrations {
        QHash<QString, Handler> commands;
        Handler enableMenuItems;
    };

    Registrations &registrationsOf(QWidget *window);
    void quit();

    QList<QMenu *> m_menus;
    QList<QAction *> m_entries;
    QHash<const QAction *, bool> m_autoEnable;
    // Keyed by window; nullptr holds the application's.
    QHash<const QWidget *, Registrations> m_registrations;
};

// The shared menu bar, built on first use; it lasts until the application
// object is destroyed.
MenuBar &MenuBar1();

} // namespace norvale
