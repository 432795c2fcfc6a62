#include "menubar.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace norvale {

namespace {

struct ItemDesign {
    const char *name;
    const char *text; // "-": a separator line
    QKeyCombination shortcut;
    bool autoEnable;
    QAction::MenuRole role;
};

struct MenuDesign {
    const char *name;
    const char *text;
    QList<ItemDesign> items;
};

constexpr QKeyCombination kNone = QKeyCombination(Qt::Key_unknown);

// Ctrl is the command key: Qt shows and reads it as Cmd on macOS.
const QList<MenuDesign> &design()
{
    static const QList<MenuDesign> menus = {
        {"FileMenu", "&File",
         {
             {"FileNewAttachment", "&Add File...", Qt::CTRL | Qt::Key_N, true, QAction::NoRole},
             {"FileCloseWindow", "&Close Window", Qt::CTRL | Qt::Key_W, true, QAction::NoRole},
             // Enabled by the main window, when its list has something to print.
             {"FilePrintPreview", "Print Pre&view...", Qt::CTRL | Qt::SHIFT | Qt::Key_P, false,
              QAction::NoRole},
             {"UntitledMenu2", "-", kNone, true, QAction::NoRole},
             {"FileQuit", "&Quit", Qt::CTRL | Qt::Key_Q, true, QAction::QuitRole},
         }},
        {"EditMenu", "&Edit",
         {
             {"EditUndo", "&Undo", Qt::CTRL | Qt::Key_Z, false, QAction::NoRole},
             {"UntitledMenu1", "-", kNone, false, QAction::NoRole},
             {"EditCut", "Cu&t", Qt::CTRL | Qt::Key_X, false, QAction::NoRole},
             {"EditCopy", "&Copy", Qt::CTRL | Qt::Key_C, false, QAction::NoRole},
             {"EditPaste", "&Paste", Qt::CTRL | Qt::Key_V, false, QAction::NoRole},
             {"EditClear", "Clear", kNone, false, QAction::NoRole},
             {"UntitledMenu0", "-", kNone, true, QAction::NoRole},
             // Labelled "&Delete" and it selects: every row of the list.
             {"EditSelectAll", "&Delete", Qt::CTRL | Qt::Key_A, false, QAction::NoRole},
         }},
        {"HelpMenu", "&Help",
         {
             {"HelpHelp", "&Help...", kNone, true, QAction::NoRole},
             // macOS moves it into the application menu.
             {"AppleAboutBexwind", "About Norvale...", kNone, false, QAction::AboutRole},
         }},
    };
    return menus;
}

MenuBar *g_menuBar = nullptr;

void releaseMenuBar()
{
    delete g_menuBar;
    g_menuBar = nullptr;
}

} // namespace

MenuBar::MenuBar()
{
    setObjectName(QStringLiteral("MenuBar1"));
    for (const MenuDesign &menuDesign : design()) {
        // The menus belong to no window: every window's menu bar shows them.
        auto *menu = new QMenu(QString::fromLatin1(menuDesign.text));
        const QString menuName = QString::fromLatin1(menuDesign.name);
        menu->setObjectName(menuName);
        menu->menuAction()->setObjectName(menuName);
        menu->menuAction()->setMenuRole(QAction::NoRole);
        connect(menu, &QMenu::aboutToShow, this, &MenuBar::EnableMenuItems);
        m_menus.append(menu);
        m_entries.append(menu->menuAction());

        for (const ItemDesign &item : menuDesign.items) {
            const QString name = QString::fromLatin1(item.name);
            const QString text = QString::fromLatin1(item.text);
            // A separator's text would be drawn into its line.
            const bool separator = text == u"-";
            auto *action = new QAction(separator ? QString() : text, menu);
            action->setObjectName(name);
            action->setSeparator(separator);
            action->setMenuRole(item.role);
            if (item.shortcut != kNone) {
                action->setShortcut(QKeySequence(item.shortcut));
                // The shortcut works in every window of the application, not
                // only in the one that shows the menu bar.
                action->setShortcutContext(Qt::ApplicationShortcut);
            }
            action->setEnabled(item.autoEnable);
            m_autoEnable.insert(action, item.autoEnable);
            if (item.role == QAction::QuitRole)
                connect(action, &QAction::triggered, this, &MenuBar::quit);
            else if (!action->isSeparator())
                connect(action, &QAction::triggered, this, [this, name] { Dispatch(name); });
            menu->addAction(action);
            m_entries.append(action);
        }
    }
    // A shortcut is looked up only after the focus widget has been offered
    // the key (ShortcutOverride); the states are worked out at that moment.
    qApp->installEventFilter(this);
}

MenuBar::~MenuBar() { qDeleteAll(m_menus); }

QAction *MenuBar::entry(QStringView name) const
{
    for (QAction *action : m_entries) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

QMenu *MenuBar::menu(QStringView name) const
{
    for (QMenu *menu : m_menus) {
        if (menu->objectName() == name)
            return menu;
    }
    return nullptr;
}

QList<QAction *> MenuBar::entries() const { return m_entries; }

bool MenuBar::autoEnable(const QAction *entry) const { return m_autoEnable.value(entry, true); }

QMenuBar *MenuBar::createMenuBarWidget(QWidget *window)
{
    auto *bar = new QMenuBar(window);
    bar->setObjectName(QStringLiteral("MenuBar1"));
    for (QMenu *menu : std::as_const(m_menus))
        bar->addMenu(menu);
    return bar;
}

MenuBar::Registrations &MenuBar::registrationsOf(QWidget *window)
{
    if (window && !m_registrations.contains(window)) {
        connect(window, &QObject::destroyed, this,
                [this, window] { m_registrations.remove(window); });
    }
    return m_registrations[window];
}

void MenuBar::AddMenuHandler(QWidget *window, const QString &entry, Handler handler)
{
    registrationsOf(window).commands.insert(entry, std::move(handler));
}

void MenuBar::SetEnableMenuItems(QWidget *window, Handler handler)
{
    registrationsOf(window).enableMenuItems = std::move(handler);
}

QWidget *MenuBar::frontWindow() { return QApplication::activeWindow(); }

void MenuBar::EnableMenuItems()
{
    for (QAction *action : std::as_const(m_entries)) {
        if (!action->menu())
            action->setEnabled(m_autoEnable.value(action));
    }
    const auto app = m_registrations.constFind(nullptr);
    if (app != m_registrations.cend() && app->enableMenuItems)
        app->enableMenuItems();
    if (QWidget *front = frontWindow()) {
        const auto window = m_registrations.constFind(front);
        if (window != m_registrations.cend() && window->enableMenuItems)
            window->enableMenuItems();
    }
}

bool MenuBar::Dispatch(const QString &entry)
{
    // Copied before running: a handler may close its window.
    Handler handler;
    if (QWidget *front = frontWindow())
        handler = m_registrations.value(front).commands.value(entry);
    if (!handler)
        handler = m_registrations.value(nullptr).commands.value(entry);
    if (!handler)
        return false;
    handler();
    return true;
}

void MenuBar::quit()
{
    // Closing the windows ends a run in progress before the application ends.
    QApplication::closeAllWindows();
    QCoreApplication::quit();
}

bool MenuBar::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride)
        EnableMenuItems();
    return false;
}

MenuBar &MenuBar1()
{
    if (!g_menuBar) {
        g_menuBar = new MenuBar;
        qAddPostRoutine(releaseMenuBar);
    }
    return *g_menuBar;
}

} // namespace norvale
