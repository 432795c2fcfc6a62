// How the file list looks and answers beyond drops and deletes: no row looks
// selected unless it is, the keyboard opens the context menu, rows just
// added come into view, a cut name shows its path, and a folder walk ends
// when the window closes.

#include "fakedialogs.h"
#include "testsupport.h"
#include "ui/rundialogs.h"
#include "ui/winmain.h"

#include <QApplication>
#include <QDir>
#include <QHelpEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <memory>

using norvale::ui::WinMain;
using namespace Qt::StringLiterals;

class TestListView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QVERIFY(QDir(m_files.path()).mkdir(u"many"_s));
        for (int i = 0; i < 400; ++i)
            QVERIFY(norvale::test::writeFile(
                m_files.filePath(QStringLiteral("many/%1.puz").arg(i, 3, 10, QChar(u'0'))), "x"));
        const QString longName = QString(60, u'n') + u".puz"_s;
        QVERIFY(norvale::test::writeFile(m_files.filePath(longName), "x"));
        m_longName = m_files.filePath(longName);
    }

    void init()
    {
        m_window = std::make_unique<WinMain>();
        m_dialogs = std::make_unique<norvale::test::FakeDialogs>();
        m_window->setDialogs(m_dialogs.get());
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_dialogs.reset();
    }

    // The list that gets the focus does not make a row current without
    // selecting it: nothing draws a row as chosen while Delete would say
    // "Please select item(s) first".
    void noRowLooksSelectedUnlessItIs()
    {
        WinMain &w = *m_window;
        w.ReadFolderItem(QFileInfo(m_files.filePath(u"many"_s)));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.ListBox1->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(w.ListBox1->hasFocus());
        QVERIFY(w.ListBox1->selectedItems().isEmpty());
        QVERIFY(!w.ListBox1->currentIndex().isValid());
        // The arrow key still starts at the top, and selects what it reaches.
        QTest::keyClick(w.ListBox1, Qt::Key_Down);
        QVERIFY(w.ListBox1->currentIndex().isValid());
        QCOMPARE(w.ListBox1->selectedItems().size(), 1);
        QVERIFY(w.ListBox1->currentItem()->isSelected());
    }

    // The Menu key and Shift+F10 open the context menu by the selected row.
    void keyboardOpensTheContextMenu_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }

    void keyboardOpensTheContextMenu()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        WinMain &w = *m_window;
        w.ReadFolderItem(QFileInfo(m_files.filePath(u"many"_s)));
        w.ListBox1->scrollToTop();
        w.ListBox1->topLevelItem(2)->setSelected(true);
        QTest::keyClick(w.ListBox1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(w.ContextualMenu1->isVisible());
        const QRect row = w.ListBox1->visualItemRect(w.ListBox1->topLevelItem(2));
        QCOMPARE(w.ContextualMenu1->pos(), w.ListBox1->viewport()->mapToGlobal(row.center()));
        w.ContextualMenu1->close();
        // The selection is what the menu's commands work on.
        QCOMPARE(w.ListBox1->selectedItems().size(), 1);
    }

    void addedRowsComeIntoView()
    {
        WinMain &w = *m_window;
        w.ReadFolderItem(QFileInfo(m_files.filePath(u"many"_s)));
        QScrollBar *bar = w.ListBox1->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        w.ListBox1->scrollToTop();
        w.ReadFolderItem(QFileInfo(m_longName));
        QCOMPARE(bar->value(), bar->maximum());
    }

    // A name wider than the list shows the whole path as a tooltip; a short
    // one shows none.
    void cutNameShowsItsPath()
    {
        WinMain &w = *m_window;
        w.ReadFolderItem(QFileInfo(m_files.filePath(u"many/000.puz"_s)));
        w.ReadFolderItem(QFileInfo(m_longName));
        const auto tipAt = [&](int row) {
            QToolTip::hideText();
            const QRect rect = w.ListBox1->visualItemRect(w.ListBox1->topLevelItem(row));
            QHelpEvent help(QEvent::ToolTip, rect.center(),
                            w.ListBox1->viewport()->mapToGlobal(rect.center()));
            QApplication::sendEvent(w.ListBox1->viewport(), &help);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(0), QString());
        QCOMPARE(tipAt(1), QDir::toNativeSeparators(m_longName));
    }

    // Closing the window while a folder is walked ends the walk at once.
    void closingEndsAFolderWalk()
    {
        WinMain &w = *m_window;
        QTimer::singleShot(0, &w, [&] { w.close(); });
        w.ReadFolderItem(QFileInfo(m_files.filePath(u"many"_s)));
        QVERIFY(!w.isVisible());
        QVERIFY(w.ListBox1->topLevelItemCount() < 400);
        // Nothing more is added to a closing window.
        const int rows = w.ListBox1->topLevelItemCount();
        w.ReadFolderItem(QFileInfo(m_longName));
        QCOMPARE(w.ListBox1->topLevelItemCount(), rows);
    }

    // The toolkit's message boxes say Norvale, with the icon that fits: a
    // note for the fixed texts, a warning for a failure.
    void messageBoxes_data()
    {
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("icon");
        QTest::newRow("note") << QString() << int(QMessageBox::Information);
        QTest::newRow("failure") << u"cannot write x.txt: disk full"_s << int(QMessageBox::Warning);
    }

    void messageBoxes()
    {
        QFETCH(QString, detail);
        QFETCH(int, icon);
        QString title;
        int shownIcon = -1;
        QTimer::singleShot(0, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                shownIcon = int(box->icon());
                box->accept();
            }
        });
        norvale::ui::QtRunDialogs().message(m_window.get(), u"No Files in List"_s, detail);
        QCOMPARE(title, u"Norvale"_s);
        QCOMPARE(shownIcon, icon);
    }

private:
    QTemporaryDir m_files;
    QString m_longName;
    std::unique_ptr<WinMain> m_window;
    std::unique_ptr<norvale::test::FakeDialogs> m_dialogs;
};

QTEST_MAIN(TestListView)
#include "tst_ui_listview.moc"
