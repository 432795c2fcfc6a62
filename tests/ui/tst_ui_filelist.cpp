// The file list as the user works it: drops, "Add File...", the Delete
// keys, the contextual click and its menu, and the row stripes.

#include "fakedialogs.h"
#include "testsupport.h"
#include "ui/winmain.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <memory>

using norvale::FileRow;
using norvale::ui::WinMain;
using namespace Qt::StringLiterals;

namespace {

QStringList shownNames(const WinMain &w)
{
    QStringList names;
    for (const FileRow &row : w.rows())
        names.append(row.shown);
    return names;
}

QList<int> selectedRows(const WinMain &w)
{
    QList<int> rows;
    for (int i = 0; i < w.ListBox1->topLevelItemCount(); ++i) {
        if (w.ListBox1->topLevelItem(i)->isSelected())
            rows.append(i);
    }
    return rows;
}

void select(WinMain &w, const QList<int> &rows)
{
    w.ListBox1->clearSelection();
    for (int row : rows)
        w.ListBox1->topLevelItem(row)->setSelected(true);
}

QString heading(const WinMain &w) { return w.ListBox1->headerItem()->text(0); }

// Drags the data onto the widget as a file manager does: enter, then drop.
// True when the widget took the drop as a copy.
bool dropOn(QWidget *target, QMimeData *data)
{
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(4, 4), offered, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(4, 4), offered, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

} // namespace

class TestFileList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // a.puz, b.puz, sub/c.puz, sub/d.puz, sub/.hidden
        QVERIFY(m_files.isValid());
        QVERIFY(QDir(m_files.path()).mkdir(u"sub"_s));
        for (const char *name : {"a.puz", "b.puz", "sub/c.puz", "sub/d.puz", "sub/.hidden"})
            QVERIFY(norvale::test::writeFile(file(QString::fromLatin1(name)), "x"));
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
        QVERIFY(!QApplication::overrideCursor());
    }

    void drops_data()
    {
        QTest::addColumn<QString>("target");
        // Local paths below the fixture folder; "http:..." is a web address.
        QTest::addColumn<QStringList>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        for (const QString &target : {u"window"_s, u"list"_s}) {
            auto row = [&](const char *name) -> QTestData & {
                return QTest::newRow(qPrintable(target + u", "_s + QString::fromLatin1(name)))
                       << target;
            };
            row("files") << QStringList{u"a.puz"_s, u"b.puz"_s} << QString()
                          << QStringList{u"a.puz"_s, u"b.puz"_s};
            row("folder, walked") << QStringList{u"sub"_s} << QString()
                                   << QStringList{u"c.puz"_s, u"d.puz"_s};
            row("file and folder") << QStringList{u"b.puz"_s, u"sub"_s} << QString()
                                    << QStringList{u"b.puz"_s, u"c.puz"_s, u"d.puz"_s};
            row("stops at a web address")
                << QStringList{u"a.puz"_s, u"http://example.org/x.puz"_s, u"b.puz"_s}
                << QString() << QStringList{u"a.puz"_s};
            row("files with text beside") << QStringList{u"a.puz"_s} << u"a.puz"_s
                                           << QStringList{u"a.puz"_s};
            row("text only, refused") << QStringList{} << u"a.puz"_s << QStringList{};
            row("web address first, refused")
                << QStringList{u"http://example.org/x.puz"_s, u"a.puz"_s} << QString()
                << QStringList{};
        }
    }

    void drops()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, urls);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);

        WinMain &w = *m_window;
        // Something in the list already: drops add to it.
        w.ReadFolderItem(QFileInfo(file(u"b.puz"_s)));
        const QStringList before = shownNames(w);

        QMimeData data;
        QList<QUrl> list;
        for (const QString &url : urls)
            list.append(url.startsWith(u"http:") ? QUrl(url) : QUrl::fromLocalFile(file(url)));
        if (!list.isEmpty())
            data.setUrls(list);
        if (!text.isEmpty())
            data.setText(text);

        QWidget *on = target == u"window" ? static_cast<QWidget *>(&w) : w.ListBox1->viewport();
        QCOMPARE(dropOn(on, &data), !expected.isEmpty());
        QCOMPARE(shownNames(w), before + expected);
        QCOMPARE(heading(w), norvale::fileCountHeading(before.size() + expected.size()));
        // A dropped file names itself in column 2, a folder's files by
        // their folder.
        if (!expected.isEmpty() && urls.constFirst() == u"sub") {
            QCOMPARE(w.rows().at(1), (FileRow{u"c.puz"_s, u"c.puz"_s, file(u"sub/"_s)}));
        }
    }

    void addFile_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("expected");

        QTest::addColumn<QStringList>("more");
        QTest::newRow("a file") << u"a.puz"_s << QStringList{u"a.puz"_s} << QStringList{};
        QTest::newRow("a folder") << u"sub"_s << QStringList{u"c.puz"_s, u"d.puz"_s} << QStringList{};
        QTest::newRow("several files") << u"a.puz"_s << QStringList{u"a.puz"_s, u"c.puz"_s, u"b.puz"_s}
                                       << QStringList{u"sub/c.puz"_s, u"b.puz"_s};
        QTest::newRow("cancelled") << QString() << QStringList{} << QStringList{};
    }

    void addFile()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, more);

        WinMain &w = *m_window;
        m_dialogs->item = chosen.isEmpty() ? QString() : file(chosen);
        for (const QString &name : more)
            m_dialogs->moreItems.append(file(name));
        w.NewAttachment();
        QCOMPARE(m_dialogs->itemTexts,
                 (QStringList{u"Select a File to attach"_s, u"Select File"_s, u"Select"_s}));
        QCOMPARE(shownNames(w), expected);
        QCOMPARE(heading(w), norvale::fileCountHeading(expected.size()));
    }

    void chooser_data()
    {
        QTest::addColumn<QString>("typed"); // typed into the name field, then Return
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("chosen");

        QTest::newRow("a file") << QString() << u"a.puz"_s << u"a.puz"_s;
        QTest::newRow("a folder") << QString() << u"sub"_s << u"sub"_s;
        QTest::newRow("typed folder opens, then a file in it")
            << u"sub/"_s << u"sub/c.puz"_s << u"sub/c.puz"_s;
    }

    // The toolkit's chooser behind "Add File...": "Select" takes a file or
    // a folder and keeps its name; a typed folder ending in "/" is opened.
    void chooser()
    {
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        QFETCH(QString, chosen);

        QString buttonText;
        QString folderAfterTyping;
        QStringList filters;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            filters = dialog->nameFilters();
            dialog->selectNameFilter(u"All Files (*)"_s);
            dialog->setDirectory(m_files.path());
            if (!typed.isEmpty()) {
                auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
                name->setText(m_files.filePath(typed));
                QTest::keyClick(name, Qt::Key_Return);
                QTRY_VERIFY(dialog->isVisible());
                folderAfterTyping = dialog->directory().absolutePath();
            }
            dialog->selectFile(file(selected));
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            QPushButton *select = buttons->button(QDialogButtonBox::Open);
            QTRY_VERIFY(select->isEnabled());
            QTest::qWait(50);
            buttonText = select->text();
            select->click();
        });
        // Should the chooser not end as it ought to, it is cancelled.
        QTimer::singleShot(10000, this, [] {
            if (QWidget *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        const QStringList result = norvale::ui::QtRunDialogs().chooseItems(
            nullptr, u"Select a File to attach"_s, u"Select File"_s, u"Select"_s);
        QCOMPARE(result, QStringList{file(chosen)});
        QCOMPARE(filters, (QStringList{u"Puzzles (*.puz *.ipuz *.jpz)"_s, u"All Files (*)"_s}));
        QCOMPARE(buttonText, u"Select"_s);
        if (!typed.isEmpty())
            QCOMPARE(folderAfterTyping, file(u"sub"_s));
    }

    void deleteKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("remaining"); // of the rows 0 to 4
        QTest::addColumn<QList<int>>("selectedAfter");
        QTest::addColumn<QString>("message");

        const int del = Qt::Key_Delete;
        const int back = Qt::Key_Backspace;
        QTest::newRow("Delete, one row") << del << QList<int>{1} << QList<int>{0, 2, 3, 4}
                                         << QList<int>{1} << QString();
        QTest::newRow("Backspace, rows apart") << back << QList<int>{1, 3} << QList<int>{0, 2, 4}
                                               << QList<int>{1} << QString();
        QTest::newRow("block up to the end") << del << QList<int>{3, 4} << QList<int>{0, 1, 2}
                                             << QList<int>{2} << QString();
        QTest::newRow("every row") << back << QList<int>{0, 1, 2, 3, 4} << QList<int>{}
                                   << QList<int>{} << QString();
        QTest::newRow("nothing selected") << del << QList<int>{} << QList<int>{0, 1, 2, 3, 4}
                                          << QList<int>{} << u"Please select item(s) first"_s;
    }

    void deleteKeys()
    {
        QFETCH(int, key);
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, remaining);
        QFETCH(QList<int>, selectedAfter);
        QFETCH(QString, message);

        WinMain &w = *m_window;
        fillNumbered(5);
        select(w, selected);
        w.ListBox1->setFocus();
        QTest::keyClick(w.ListBox1, Qt::Key(key));

        QStringList expected;
        for (int n : remaining)
            expected.append(QString::number(n));
        QCOMPARE(shownNames(w), expected);
        QCOMPARE(selectedRows(w), selectedAfter);
        QCOMPARE(heading(w), norvale::fileCountHeading(remaining.size()));
        QCOMPARE(m_dialogs->messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(m_dialogs->messages.at(0).text, message);
    }

    void contextualClick_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QList<int>>("selectedAfter");

        QTest::newRow("nothing selected") << QList<int>{} << 2 << QList<int>{2};
        QTest::newRow("another row selected") << QList<int>{0} << 2 << QList<int>{2};
        QTest::newRow("the selected row") << QList<int>{2} << 2 << QList<int>{2};
        QTest::newRow("several rows stay") << QList<int>{0, 1} << 3 << QList<int>{0, 1};
    }

    void contextualClick()
    {
        QFETCH(QList<int>, selected);
        QFETCH(int, clicked);
        QFETCH(QList<int>, selectedAfter);

        WinMain &w = *m_window;
        fillNumbered(4);
        select(w, selected);
        QTreeWidget *list = w.ListBox1;
        const QPoint at = list->visualItemRect(list->topLevelItem(clicked)).center();
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);

        QCOMPARE(selectedRows(w), selectedAfter);
        QTRY_VERIFY(w.ContextualMenu1->isVisible());
        QStringList entries;
        for (const QAction *action : w.ContextualMenu1->actions())
            entries.append(action->isSeparator() ? u"-"_s : action->text());
        QCOMPARE(entries.join(u','), u"Sort List,-,Delete Item,-,Clear List"_s);
        w.ContextualMenu1->close();
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(shownNames(w), (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s}));
    }

    void contextCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QList<int>>("remaining"); // of the rows of sortRows()
        QTest::addColumn<QList<int>>("selectedAfter");
        QTest::addColumn<QString>("message");

        QTest::newRow("Delete Item") << u"Delete Item"_s << QList<int>{1} << QList<int>{0, 2, 3}
                                     << QList<int>{} << QString();
        // The row that moves up into the deleted one's place is deselected.
        QTest::newRow("Delete Item, three selected")
            << u"Delete Item"_s << QList<int>{1, 2, 3} << QList<int>{0, 2, 3} << QList<int>{2}
            << QString();
        QTest::newRow("Delete Item, the last row") << u"Delete Item"_s << QList<int>{3}
                                                   << QList<int>{0, 1, 2} << QList<int>{}
                                                   << QString();
        QTest::newRow("Delete Item, nothing selected")
            << u"Delete Item"_s << QList<int>{} << QList<int>{0, 1, 2, 3} << QList<int>{}
            << u"Please select item first"_s;
        QTest::newRow("Clear List") << u"Clear List"_s << QList<int>{2} << QList<int>{}
                                    << QList<int>{} << QString();
        // By the shown name alone; the two a.puz end up side by side, each
        // with its own folder.
        QTest::newRow("Sort List") << u"Sort List"_s << QList<int>{0} << QList<int>{1, 3, 2, 0}
                                   << QList<int>{3} << QString();
    }

    void contextCommands()
    {
        QFETCH(QString, command);
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, remaining);
        QFETCH(QList<int>, selectedAfter);
        QFETCH(QString, message);

        WinMain &w = *m_window;
        const QList<FileRow> original = sortRows();
        for (const FileRow &row : original)
            w.AddRow(row);
        select(w, selected);

        QAction *chosen = nullptr;
        for (QAction *action : w.ContextualMenu1->actions()) {
            if (action->text() == command)
                chosen = action;
        }
        QVERIFY(chosen);
        chosen->trigger();

        QList<FileRow> expected;
        for (int n : remaining)
            expected.append(original.at(n));
        QCOMPARE(w.rows(), expected);
        QCOMPARE(selectedRows(w), selectedAfter);
        QCOMPARE(heading(w), norvale::fileCountHeading(remaining.size()));
        QCOMPARE(m_dialogs->messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QCOMPARE(m_dialogs->messages.at(0).text, message);
    }

    // Even rows are striped, whatever rows a deletion or a sort moved there.
    void stripes()
    {
        WinMain &w = *m_window;
        for (const QString &name : {u"4"_s, u"3"_s, u"2"_s, u"1"_s, u"0"_s})
            w.AddRow({name, QString(), u"/puzzles/"_s + name});
        QCOMPARE(stripedRows(), (QList<bool>{true, false, true, false, true}));

        select(w, {0});
        w.DeleteItem(false);
        QCOMPARE(shownNames(w), (QStringList{u"3"_s, u"2"_s, u"1"_s, u"0"_s}));
        QCOMPARE(stripedRows(), (QList<bool>{true, false, true, false}));

        w.ContextualMenu1_Action(u"Sort List"_s);
        QCOMPARE(shownNames(w), (QStringList{u"0"_s, u"1"_s, u"2"_s, u"3"_s}));
        QCOMPARE(stripedRows(), (QList<bool>{true, false, true, false}));
    }

private:
    QString file(const QString &name) const { return m_files.filePath(name); }

    void fillNumbered(int n)
    {
        for (int i = 0; i < n; ++i)
            m_window->AddRow({QString::number(i), QString(), u"/puzzles/"_s + QString::number(i)});
    }

    static QList<FileRow> sortRows()
    {
        return {{u"c.puz"_s, u"c.puz"_s, u"/x/"_s},
                {u"a.puz"_s, QString(), u"/y/a.puz"_s},
                {u"b.puz"_s, u"b.puz"_s, u"/z/"_s},
                {u"a.puz"_s, u"a.puz"_s, u"/w/"_s}};
    }

    // Whether each row shows the stripe colour at its right end, away from
    // the text.
    QList<bool> stripedRows() const
    {
        QTreeWidget *list = m_window->ListBox1;
        list->clearSelection();
        const QImage shot = list->viewport()->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        QList<bool> striped;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QRect cell = list->visualItemRect(list->topLevelItem(i));
            const QPoint at(cell.right() - 8, cell.center().y());
            striped.append(shot.pixel((QPointF(at) * ratio).toPoint()) == WinMain::kStripe);
        }
        return striped;
    }

    QTemporaryDir m_files;
    std::unique_ptr<WinMain> m_window;
    std::unique_ptr<norvale::test::FakeDialogs> m_dialogs;
};

QTEST_MAIN(TestFileList)
#include "tst_ui_filelist.moc"
