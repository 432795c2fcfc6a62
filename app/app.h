#pragma once

#include <QApplication>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <memory>

class QMenuBar;

namespace norvale::ui {
class RunDialogs;
class WinMain;
} // namespace norvale::ui

namespace norvale::app {

// The application object: the shared menu bar's application-wide commands,
// documents handed over by the desktop, and exceptions that no event
// handler caught.
class App : public QApplication {
    Q_OBJECT
public:
    // Names the application ("Norvale" on screen), attaches MenuBar1 as the
    // application's menu bar (building it) and makes this the running
    // application.
    App(int &argc, char **argv);
    ~App() override;

    // The running application object, or nullptr.
    static App *instance();

    // Registers the application's menu handlers: Help and About.
    void _ApplicationAddMenuHandlers();
    // The main window, created and shown on first use.
    ui::WinMain &_MakeDefaultView();

    // The dialogs of the application's own messages; the toolkit's unless a
    // replacement is set (not owned; nullptr restores the toolkit's).
    void setDialogs(ui::RunDialogs *dialogs);
    ui::RunDialogs &dialogs();

    void Event_Open();
    // A file or folder handed over by the desktop lands in the main window's
    // list as a dropped one does.
    void Event_OpenDocument(const QFileInfo &item);
    // Several at once (a forwarded request); with none, the main window is
    // only brought to the front.
    void OpenDocuments(const QStringList &paths);
    void Event_EnableMenuItems();
    // Reports an exception that escaped an event handler: the message box,
    // then a run in progress ends and the window is unlocked, so that the
    // list stays usable. detail says what was thrown, when known.
    void Event_UnhandledException(const QString &detail);

    void _appleAboutBexwind_Action();
    void _HelpHelp_Action();

    bool notify(QObject *receiver, QEvent *event) override;

protected:
    bool event(QEvent *event) override;

private:
    void reportPendingException();

    ui::RunDialogs *m_dialogs = nullptr;
    std::unique_ptr<ui::RunDialogs> m_qtDialogs;
    QMenuBar *m_menuBar = nullptr;
    bool m_exceptionPending = false;
    QString m_exceptionDetail;
};

} // namespace norvale::app
