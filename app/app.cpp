#include "app.h"

#include "norvale_version.h"
#include "ui/aboutwindow.h"
#include "ui/rundialogs.h"
#include "ui/shell/menubar.h"
#include "ui/winhelp.h"
#include "ui/winmain.h"

#include <QFileOpenEvent>
#include <QIcon>
#include <QMenuBar>

#include <exception>

namespace norvale::app {

App::App(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("norvale"));
    // What the windows, dialogs and message boxes show as the program's
    // name; a window without a title of its own shows it alone.
    setApplicationDisplayName(QStringLiteral("Norvale"));
    // Wayland compositors and task bars find the icon and the name through
    // the desktop entry of this name.
    setDesktopFileName(QString::fromLatin1(version::AppId));
    setWindowIcon(ui::applicationIcon());
#ifdef Q_OS_MACOS
    // The application's own menu bar, which macOS shows while no window
    // brings one.
    m_menuBar = MenuBar1().createMenuBarWidget(nullptr);
#else
    MenuBar1();
#endif
}

App::~App()
{
    delete m_menuBar;
}

App *App::instance()
{
    return qobject_cast<App *>(QCoreApplication::instance());
}

void App::_ApplicationAddMenuHandlers()
{
    MenuBar &bar = MenuBar1();
    bar.AddMenuHandler(nullptr, QStringLiteral("AppleAboutBexwind"),
                       [this] { _appleAboutBexwind_Action(); });
    bar.AddMenuHandler(nullptr, QStringLiteral("HelpHelp"), [this] { _HelpHelp_Action(); });
    bar.SetEnableMenuItems(nullptr, [this] { Event_EnableMenuItems(); });
}

ui::WinMain &App::_MakeDefaultView()
{
    return ui::winMain();
}

void App::setDialogs(ui::RunDialogs *dialogs)
{
    m_dialogs = dialogs;
}

ui::RunDialogs &App::dialogs()
{
    if (m_dialogs)
        return *m_dialogs;
    if (!m_qtDialogs)
        m_qtDialogs = std::make_unique<ui::QtRunDialogs>();
    return *m_qtDialogs;
}

void App::Event_Open()
{
    setQuitOnLastWindowClosed(true);
}

void App::Event_OpenDocument(const QFileInfo &item)
{
    _MakeDefaultView().ReadFolderItem(item);
}

void App::OpenDocuments(const QStringList &paths)
{
    ui::WinMain &window = _MakeDefaultView();
    for (const QString &path : paths) {
        // A long folder walk lets events through; the window may close.
        if (!window.isVisible())
            return;
        Event_OpenDocument(QFileInfo(path));
    }
    if (window.isMinimized())
        window.showNormal();
    window.raise();
    window.activateWindow();
}

void App::Event_EnableMenuItems()
{
    MenuBar1().AppleAboutBexwind()->setEnabled(true);
}

void App::Event_UnhandledException(const QString &detail)
{
    dialogs().message(MenuBar::frontWindow(), QStringLiteral("An unhandled Exeption has occured"),
                      detail);
    // The run that was under way ends; the list and the options are the
    // user's again.
    if (ui::WinMain *window = ui::openWinMain(); window && !window->cancelled)
        window->done();
}

void App::_appleAboutBexwind_Action()
{
    ui::aboutWindow().Show(true);
}

void App::_HelpHelp_Action()
{
    ui::winHelp();
}

bool App::notify(QObject *receiver, QEvent *event)
{
    QString detail;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        detail = QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    // A control that fails to paint fails again each time the message box
    // uncovers it: it is reported once.
    if (event->type() == QEvent::Paint) {
        const char *reported = "norvalePaintFailureReported";
        if (receiver->property(reported).toBool())
            return false;
        receiver->setProperty(reported, true);
    }
    // Reported once the event loop is back in charge: the handler that threw
    // may have been painting, and a message box cannot open in the middle of
    // that. Exceptions while one report is pending or shown add nothing.
    if (!m_exceptionPending) {
        m_exceptionPending = true;
        m_exceptionDetail = detail;
        QMetaObject::invokeMethod(this, &App::reportPendingException, Qt::QueuedConnection);
    }
    return false;
}

void App::reportPendingException()
{
    Event_UnhandledException(m_exceptionDetail);
    m_exceptionPending = false;
}

bool App::event(QEvent *event)
{
    // macOS hands documents over as events.
    if (event->type() == QEvent::FileOpen) {
        Event_OpenDocument(QFileInfo(static_cast<QFileOpenEvent *>(event)->file()));
        return true;
    }
    return QApplication::event(event);
}

} // namespace norvale::app
