// The application's windows as the desktop shows them: each titled Norvale,
// each with the shared menu bar, whose commands act for the window in front.

#include "shelltestsupport.h"

class TestWindows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(makeShellFiles(m_files)); }
    void init() { QVERIFY(prepareShell(m_dialogs)); }
    void cleanup() { closeSideWindows(); }

    void windowTitles_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");

        QTest::newRow("main window") << u"main"_s << u"Norvale"_s;
        QTest::newRow("help window") << u"help"_s << u"Help \u2014 Norvale"_s;
        QTest::newRow("About box") << u"about"_s << u"Norvale"_s;
        QTest::newRow("message box over the main window") << u"message main"_s << u"Norvale"_s;
        QTest::newRow("message box over the About box") << u"message about"_s << u"Norvale"_s;
        QTest::newRow("message box of no window") << u"message"_s << u"Norvale"_s;
    }

    // The program's name on screen is "Norvale", whichever window shows it.
    void windowTitles()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);

        QCOMPARE(QGuiApplication::applicationDisplayName(), u"Norvale"_s);
        const QStringList words = window.split(u' ');
        QWidget *shown = words.size() == 1 ? bringToFront(words.first()) : nullptr;
        if (words.first() == u"message") {
            QWidget *parent = words.size() > 1 ? bringToFront(words.last()) : nullptr;
            QString boxTitle;
            // The toolkit's own message box, as the application shows it.
            QTimer::singleShot(0, this, [&] {
                QWidget *box = QApplication::activeModalWidget();
                QVERIFY(box);
                QVERIFY(QTest::qWaitForWindowExposed(box));
                boxTitle = shownTitle(box);
                box->close();
            });
            norvale::ui::QtRunDialogs().message(parent, u"Please select item(s) first"_s);
            QCOMPARE(boxTitle, title);
        } else {
            QVERIFY(shown);
            QCOMPARE(shownTitle(shown), title);
        }
    }

    // The help window and the About box show the shared menus in a bar of
    // their own; what is chosen there goes where the same entry goes from any
    // menu bar: to the front window's handler, then to the application's.
    void menuBarOfEveryWindow_data()
    {
        QTest::addColumn<QString>("front");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("aboutOpen");
        QTest::addColumn<bool>("helpOpen");

        QTest::newRow("About box: Close Window")
            << u"about"_s << u"FileMenu"_s << u"FileCloseWindow"_s << false << false;
        QTest::newRow("About box: Help...")
            << u"about"_s << u"HelpMenu"_s << u"HelpHelp"_s << true << true;
        QTest::newRow("help window: About Norvale...")
            << u"help"_s << u"HelpMenu"_s << u"AppleAboutBexwind"_s << true << true;
        // The help window takes no command of its own.
        QTest::newRow("help window: Close Window does nothing")
            << u"help"_s << u"FileMenu"_s << u"FileCloseWindow"_s << false << true;
        QTest::newRow("main window: About Norvale...")
            << u"main"_s << u"HelpMenu"_s << u"AppleAboutBexwind"_s << true << false;
    }

    void menuBarOfEveryWindow()
    {
        QFETCH(QString, front);
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(bool, aboutOpen);
        QFETCH(bool, helpOpen);

        auto *window = qobject_cast<QMainWindow *>(bringToFront(front));
        QVERIFY(window);
        QMenuBar *bar = window->menuBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->window(), window);
        QStringList menus;
        for (const QAction *action : bar->actions())
            menus.append(action->text());
        QCOMPARE(menus, (QStringList{u"&File"_s, u"&Edit"_s, u"&Help"_s}));

        // Opened and chosen with the mouse, in the window's own bar.
        QMenu *opened = MenuBar1().menu(menu);
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(opened->menuAction()).center());
        QTRY_VERIFY(opened->isVisible());
        QAction *chosen = MenuBar1().entry(entry);
        QVERIFY(chosen->isEnabled());
        QTest::mouseClick(opened, Qt::LeftButton, {}, opened->actionGeometry(chosen).center());
        QTRY_VERIFY(!opened->isVisible());

        QTRY_COMPARE(openWindow(u"AboutWindow"_s) != nullptr, aboutOpen);
        QCOMPARE(openWindow(u"winHelp"_s) != nullptr, helpOpen);
        QVERIFY(norvale::ui::winMain().isVisible());
    }
private:
    QString file(const QString &name) const { return m_files.filePath(name); }

    QTemporaryDir m_files;
    norvale::test::FakeDialogs m_dialogs;
};

int main(int argc, char **argv)
{
    TestWindows test;
    return runShellTests(test, argc, argv);
}

#include "tst_ui_windows.moc"
