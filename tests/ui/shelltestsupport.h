#pragma once

// What the tests of the application shell share: finding and bringing
// forward the application's windows, and what the desktop shows of them.
#include "app/app.h"
#include "app/instance.h"
#include "fakedialogs.h"
#include "filelist/filetypes.h"
#include "testsupport.h"
#include "ui/aboutwindow.h"
#include "ui/rundialogs.h"
#include "ui/shell/menubar.h"
#include "ui/winhelp.h"
#include "ui/winmain.h"
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFileOpenEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <stdexcept>

using norvale::MenuBar1;
using norvale::app::App;
using norvale::ui::WinMain;
using namespace Qt::StringLiterals;

namespace norvale::test {

inline QWidget *openWindow(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return w;
    }
    return nullptr;
}

inline QStringList shownNames(const WinMain &w)
{
    QStringList names;
    for (const norvale::FileRow &row : w.rows())
        names.append(row.shown);
    return names;
}

// Brings a window of the application to the front: "main", "about" or "help".
inline QWidget *bringToFront(const QString &front)
{
    QWidget *window = nullptr;
    if (front == u"about") {
        App::instance()->_appleAboutBexwind_Action();
        window = openWindow(u"AboutWindow"_s);
    } else if (front == u"help") {
        App::instance()->_HelpHelp_Action();
        window = openWindow(u"winHelp"_s);
    } else {
        window = &norvale::ui::winMain();
    }
    if (!window)
        return nullptr;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window) ? window : nullptr;
}

// The title that the desktop shows for a window. Qt's X11 and Wayland
// windows name the program after a title of the window's own ("Help —
// Norvale"), unless it already ends with the name, and show the name alone
// for a window without one.
inline QString shownTitle(const QWidget *window)
{
    const QString own = window->windowHandle()->title();
    const QString name = QGuiApplication::applicationDisplayName();
    if (own.isEmpty())
        return name;
    return own.endsWith(name) ? own : own + u" \u2014 "_s + name;
}

// Runs the event loop until the application quits (true) or 5 s pass.
inline bool quitsWithin5s()
{
    QTimer failsafe;
    failsafe.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&failsafe, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    failsafe.start(5000);
    return QCoreApplication::exec() == 0 && !timedOut;
}

// The files the shell tests drop and open: a.puz, b.puz and sub/ with c.puz
// and d.puz.
inline bool makeShellFiles(const QTemporaryDir &files)
{
    if (!files.isValid() || !QDir(files.path()).mkdir(u"sub"_s))
        return false;
    for (const char *name : {"a.puz", "b.puz", "sub/c.puz", "sub/d.puz"}) {
        if (!writeFile(files.filePath(QString::fromLatin1(name)), "x"))
            return false;
    }
    return true;
}

// Before each test: the stand-in dialogs for the application and the main
// window, an empty list, the main window in front.
inline bool prepareShell(FakeDialogs &dialogs)
{
    dialogs = FakeDialogs();
    App::instance()->setDialogs(&dialogs);
    WinMain &w = norvale::ui::winMain();
    w.setDialogs(&dialogs);
    w.ListBox1->clear();
    w.show();
    return bringToFront(u"main"_s) != nullptr;
}

// After each test: the About box and the help window closed.
inline void closeSideWindows()
{
    for (const QString &name : {u"AboutWindow"_s, u"winHelp"_s}) {
        if (QWidget *w = openWindow(name))
            w->close();
    }
}

// The application as Norvale starts it, then the tests.
inline int runShellTests(QObject &test, int argc, char **argv)
{
    norvale::FileTypes::_InitFileTypes();
    App app(argc, argv);
    app._ApplicationAddMenuHandlers();
    app.Event_Open();
    return QTest::qExec(&test, argc, argv);
}

} // namespace norvale::test

using namespace norvale::test;
