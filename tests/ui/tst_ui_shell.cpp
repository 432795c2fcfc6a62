// The application shell: the menu bar, its enabled states and where its
// commands go, documents handed over by the desktop or by a second start,
// and exceptions that escape an event handler.

#include "shelltestsupport.h"

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(makeShellFiles(m_files)); }
    void init() { QVERIFY(prepareShell(m_dialogs)); }
    void cleanup() { closeSideWindows(); }

    void menuTable_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<int>("role");

        const int none = QAction::NoRole;
        auto row = [](const char *menu, const char *name, const char *text, const char *shortcut,
                      int role) {
            QTest::newRow(name) << QString::fromLatin1(menu) << QString::fromLatin1(name)
                                << QString::fromLatin1(text) << QString::fromLatin1(shortcut)
                                << role;
        };
        row("", "FileMenu", "&File", "", none);
        row("FileMenu", "FileNewAttachment", "&Add File...", "Ctrl+N", none);
        row("FileMenu", "FileCloseWindow", "&Close Window", "Ctrl+W", none);
        row("FileMenu", "FilePrintPreview", "Print Pre&view...", "Ctrl+Shift+P", none);
        row("FileMenu", "UntitledMenu2", "-", "", none);
        row("FileMenu", "FileQuit", "&Quit", "Ctrl+Q", QAction::QuitRole);
        row("", "EditMenu", "&Edit", "", none);
        row("EditMenu", "EditUndo", "&Undo", "Ctrl+Z", none);
        row("EditMenu", "UntitledMenu1", "-", "", none);
        row("EditMenu", "EditCut", "Cu&t", "Ctrl+X", none);
        row("EditMenu", "EditCopy", "&Copy", "Ctrl+C", none);
        row("EditMenu", "EditPaste", "&Paste", "Ctrl+V", none);
        row("EditMenu", "EditClear", "Clear", "", none);
        row("EditMenu", "UntitledMenu0", "-", "", none);
        row("EditMenu", "EditSelectAll", "&Delete", "Ctrl+A", none);
        row("", "HelpMenu", "&Help", "", none);
        row("HelpMenu", "HelpHelp", "&Help...", "", none);
        row("HelpMenu", "AppleAboutBexwind", "About Norvale...", "", QAction::AboutRole);
    }

    void menuTable()
    {
        QFETCH(QString, menu);
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, shortcut);
        QFETCH(int, role);

        norvale::MenuBar &bar = MenuBar1();
        QAction *entry = bar.entry(name);
        QVERIFY(entry);
        QCOMPARE(entry->isSeparator(), text == u"-");
        if (!entry->isSeparator())
            QCOMPARE(entry->text(), text);
        QCOMPARE(entry->shortcut().toString(QKeySequence::PortableText), shortcut);
        if (!shortcut.isEmpty())
            QCOMPARE(entry->shortcutContext(), Qt::ApplicationShortcut);
        QCOMPARE(int(entry->menuRole()), role);
        if (menu.isEmpty()) {
            // A menu of its own, shown in this order in the main window's bar.
            QVERIFY(entry->menu());
            const QStringList order{u"FileMenu"_s, u"EditMenu"_s, u"HelpMenu"_s};
            QCOMPARE(norvale::ui::winMain().menuBar()->actions().indexOf(entry),
                     order.indexOf(name));
        } else {
            QVERIFY(bar.menu(menu)->actions().contains(entry));
        }
    }

    // The entries in the order they are built.
    void menuOrder()
    {
        QStringList names;
        for (const QAction *entry : MenuBar1().entries())
            names.append(entry->objectName());
        QCOMPARE(names.join(u' '),
                 u"FileMenu FileNewAttachment FileCloseWindow FilePrintPreview UntitledMenu2 FileQuit "
                 "EditMenu EditUndo UntitledMenu1 EditCut EditCopy EditPaste EditClear "
                 "UntitledMenu0 EditSelectAll HelpMenu HelpHelp AppleAboutBexwind"_s);
    }

    void enabledStates_data()
    {
        QTest::addColumn<QString>("front");
        QTest::addColumn<bool>("byShortcut");
        QTest::addColumn<QStringList>("enabled");

        const QStringList always{u"FileNewAttachment"_s, u"FileCloseWindow"_s, u"FileQuit"_s,
                                 u"HelpHelp"_s, u"AppleAboutBexwind"_s};
        const QStringList main = QStringList(always) << u"EditSelectAll"_s;
        for (const bool byShortcut : {false, true}) {
            const char *how = byShortcut ? "a key" : "a menu opening";
            QTest::addRow("main window, %s", how) << u"main"_s << byShortcut << main;
            QTest::addRow("About box, %s", how) << u"about"_s << byShortcut << always;
            QTest::addRow("help window, %s", how) << u"help"_s << byShortcut << always;
        }
    }

    void enabledStates()
    {
        QFETCH(QString, front);
        QFETCH(bool, byShortcut);
        QFETCH(QStringList, enabled);

        QWidget *window = bringToFront(front);
        QVERIFY(window);
        // Whatever the states were, they are worked out afresh.
        const QList<QAction *> entries = MenuBar1().entries();
        for (QAction *entry : entries) {
            if (!entry->menu())
                entry->setEnabled(!enabled.contains(entry->objectName()));
        }
        if (byShortcut) {
            QTest::keyClick(window, Qt::Key_F12);
        } else {
            QMenu *file = MenuBar1().menu(u"FileMenu");
            file->popup(window->mapToGlobal(QPoint(0, 0)));
            QTRY_VERIFY(file->isVisible());
            file->close();
        }
        QStringList shown;
        for (const QAction *entry : entries) {
            if (!entry->menu() && !entry->isSeparator() && entry->isEnabled())
                shown.append(entry->objectName());
            if (entry->menu())
                QVERIFY(entry->isEnabled());
        }
        shown.sort();
        enabled.sort();
        QCOMPARE(shown, enabled);
    }

    void dispatch_data()
    {
        QTest::addColumn<QString>("front");
        // A shortcut, or the name of an entry chosen from its menu.
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("chooser");
        QTest::addColumn<int>("selectedRows"); // of 3
        QTest::addColumn<bool>("aboutOpen");
        QTest::addColumn<bool>("helpOpen");

        QTest::newRow("Add File, main") << u"main"_s << u"Ctrl+N"_s << true << 0 << false << false;
        QTest::newRow("select-all, main")
            << u"main"_s << u"Ctrl+A"_s << false << 3 << false << false;
        QTest::newRow("Help, from the menu")
            << u"main"_s << u"HelpHelp"_s << false << 0 << false << true;
        QTest::newRow("About, from the menu")
            << u"main"_s << u"AppleAboutBexwind"_s << false << 0 << true << false;
        QTest::newRow("About again, About box in front")
            << u"about"_s << u"AppleAboutBexwind"_s << false << 0 << true << false;
        QTest::newRow("Close Window, About box")
            << u"about"_s << u"Ctrl+W"_s << false << 0 << false << false;
        QTest::newRow("Add File, About box: none")
            << u"about"_s << u"Ctrl+N"_s << false << 0 << true << false;
        QTest::newRow("Close Window, help: none")
            << u"help"_s << u"Ctrl+W"_s << false << 0 << false << true;
    }

    void dispatch()
    {
        QFETCH(QString, front);
        QFETCH(QString, input);
        QFETCH(bool, chooser);
        QFETCH(int, selectedRows);
        QFETCH(bool, aboutOpen);
        QFETCH(bool, helpOpen);

        WinMain &w = norvale::ui::winMain();
        for (const char *name : {"a.puz", "b.puz", "sub/c.puz"})
            w.ReadFolderItem(QFileInfo(file(QString::fromLatin1(name))));
        // The list need not have the focus.
        w.CheckBox3->setFocus();
        QWidget *window = bringToFront(front);
        QVERIFY(window);

        if (QAction *entry = MenuBar1().entry(input)) {
            MenuBar1().EnableMenuItems();
            QVERIFY(entry->isEnabled());
            entry->trigger();
        } else {
            const QKeySequence key(input, QKeySequence::PortableText);
            QTest::keySequence(window, key);
        }

        QCOMPARE(m_dialogs.calls.contains(u"item"_s), chooser);
        QCOMPARE(w.ListBox1->selectedItems().size(), selectedRows);
        QCOMPARE(w.ListBox1->topLevelItemCount(), 3);
        QTRY_COMPARE(openWindow(u"AboutWindow"_s) != nullptr, aboutOpen);
        QCOMPARE(openWindow(u"winHelp"_s) != nullptr, helpOpen);
        QVERIFY(w.isVisible());
        if (aboutOpen) {
            // Always with its credits.
            const auto *about = qobject_cast<QMainWindow *>(openWindow(u"AboutWindow"_s));
            QCOMPARE(about->centralWidget()->height(),
                     norvale::ui::AboutWindow::kHeightWithCredits);
            const QWidgetList all = QApplication::topLevelWidgets();
            QCOMPARE(std::count_if(all.cbegin(), all.cend(),
                                   [](QWidget *t) { return t->objectName() == u"AboutWindow"; }),
                     1);
        }
    }

    void endsApplication_data()
    {
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("key");

        QTest::newRow("Close Window, main window") << u"main"_s << u"Ctrl+W"_s;
        QTest::newRow("Quit, About box in front") << u"about"_s << u"Ctrl+Q"_s;
    }

    void endsApplication()
    {
        QFETCH(QString, front);
        QFETCH(QString, key);

        QWidget *window = bringToFront(front);
        QVERIFY(window);
        QTimer::singleShot(0, window, [window, key] {
            QTest::keySequence(window, QKeySequence(key, QKeySequence::PortableText));
        });
        QVERIFY(quitsWithin5s());
        QVERIFY(!norvale::ui::winMain().isVisible());
        QVERIFY(!openWindow(u"AboutWindow"_s));
    }

    void openDocument_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("asEvent");

        QTest::newRow("file, from the command line") << u"a.puz"_s << false;
        QTest::newRow("folder, from the command line") << u"sub"_s << false;
        QTest::newRow("file, as an open event") << u"b.puz"_s << true;
        QTest::newRow("folder, as an open event") << u"sub"_s << true;
    }

    // A document lands in the list as the same item dropped on a window does.
    void openDocument()
    {
        QFETCH(QString, item);
        QFETCH(bool, asEvent);

        WinMain dropped;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file(item))});
        dropped.Event_DropObject(&data);
        QVERIFY(!dropped.rows().isEmpty());

        if (asEvent) {
            QFileOpenEvent open(file(item));
            QCoreApplication::sendEvent(App::instance(), &open);
        } else {
            App::instance()->Event_OpenDocument(QFileInfo(file(item)));
        }
        WinMain &w = norvale::ui::winMain();
        QCOMPARE(w.rows(), dropped.rows());
        QCOMPARE(w.ListBox1->headerItem()->text(0), dropped.ListBox1->headerItem()->text(0));
    }

    void forwardedToRunningInstance_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("a file and a folder, relative")
            << QStringList{u"a.puz"_s, u"sub"_s} << QStringList{u"a.puz"_s, u"c.puz"_s, u"d.puz"_s};
        QTest::newRow("nothing: the window comes to the front") << QStringList{} << QStringList{};
    }

    // A second start of the program hands its files to this one and ends.
    void forwardedToRunningInstance()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);

        const QString socket = m_files.filePath(u"instance"_s);
        norvale::app::InstanceServer server;
        QVERIFY(server.listen(socket));
        int requests = 0;
        connect(&server, &norvale::app::InstanceServer::openRequested, this,
                [&](const QStringList &paths) {
                    ++requests;
                    App::instance()->OpenDocuments(paths);
                });

        // Another window in front, so that coming to the front shows.
        QVERIFY(bringToFront(u"help"_s));

        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"NORVALE_INSTANCE"_s, socket);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(m_files.path());
        second.start(norvale::test::norvaleBinary(), arguments);
        // The event loop runs meanwhile: this instance has to answer.
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 30000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(requests, 1);
        QCOMPARE(shownNames(norvale::ui::winMain()), expected);
        QTRY_COMPARE(QApplication::activeWindow(), &norvale::ui::winMain());
    }

    void unhandledException_data()
    {
        QTest::addColumn<QString>("thrownBy");
        QTest::addColumn<bool>("duringRun");

        QTest::newRow("posted event") << u"event"_s << false;
        QTest::newRow("button's handler during a run") << u"click"_s << true;
        // Reported once, however often it is painted again.
        QTest::newRow("painting") << u"paint"_s << false;
    }

    // The message is shown, the application goes on, a run ends and the
    // list is kept.
    void unhandledException()
    {
        QFETCH(QString, thrownBy);
        QFETCH(bool, duringRun);

        WinMain &w = norvale::ui::winMain();
        w.ReadFolderItem(QFileInfo(file(u"a.puz"_s)));
        const QString status = w.LabStatus->text();
        if (duringRun)
            w.busy();

        class Thrower : public QObject {
        public:
            bool event(QEvent *event) override
            {
                if (event->type() == QEvent::User)
                    throw std::runtime_error("broken handler");
                return QObject::event(event);
            }
        } thrower;
        class BrokenCanvas : public QWidget {
        protected:
            void paintEvent(QPaintEvent *) override { throw std::runtime_error("broken handler"); }
        } canvas;
        QPushButton button;
        connect(&button, &QPushButton::clicked, this,
                [] { throw std::runtime_error("broken handler"); });
        if (thrownBy == u"click") {
            button.show();
            QVERIFY(QTest::qWaitForWindowExposed(&button));
            QTest::mouseClick(&button, Qt::LeftButton);
        } else if (thrownBy == u"paint") {
            canvas.show();
            QVERIFY(QTest::qWaitForWindowExposed(&canvas));
            QTRY_COMPARE(m_dialogs.messages.size(), 1);
            canvas.repaint();
            canvas.repaint();
        } else {
            QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        }

        QTRY_COMPARE(m_dialogs.messages.size(), 1);
        QCOMPARE(m_dialogs.messages.at(0).text, u"An unhandled Exeption has occured"_s);
        QCOMPARE(m_dialogs.messages.at(0).detail, u"broken handler"_s);

        bool later = false;
        QTimer::singleShot(50, this, [&] { later = true; });
        QTRY_VERIFY(later);
        QCOMPARE(shownNames(w), QStringList{u"a.puz"_s});
        QCOMPARE(w.cmdSend->text(), u"Go"_s);
        QVERIFY(w.ListBox1->isEnabled());
        QVERIFY(w.cancelled);
        QCOMPARE(w.LabStatus->text(), duringRun ? u"done"_s : status);
        QCOMPARE(m_dialogs.messages.size(), 1);
    }
private:
    QString file(const QString &name) const { return m_files.filePath(name); }

    QTemporaryDir m_files;
    norvale::test::FakeDialogs m_dialogs;
};

int main(int argc, char **argv)
{
    TestShell test;
    return runShellTests(test, argc, argv);
}

#include "tst_ui_shell.moc"
