// The main window as it opens: its design, the option rules and the keys.

#include "fakedialogs.h"
#include "testsupport.h"
#include "ui/winmain.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

using norvale::ui::WinMain;
using namespace Qt::StringLiterals;

namespace {

// A control's rectangle in the coordinates of the window's content area.
QRect contentRect(const WinMain &w, const QWidget *control)
{
    return QRect(control->mapTo(w.centralWidget(), QPoint(0, 0)), control->size());
}

QCheckBox *box(WinMain &w, int n)
{
    QCheckBox *boxes[] = {w.CheckBox1, w.CheckBox2, w.CheckBox3, w.CheckBox4, w.CheckBox5};
    return boxes[n - 1];
}

} // namespace

class TestWinMain : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

    void window()
    {
        WinMain &w = *m_window;
        QCOMPARE(w.objectName(), QStringLiteral("winMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Norvale"));
        QCOMPARE(w.centralWidget()->size(), QSize(340, 453));
        QCOMPARE(w.maximumSize(), QSize(32000, 32000));
        const Qt::WindowFlags flags = w.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowMaximizeButtonHint);

        // It cannot be made smaller than 340 x 440.
        w.resize(100, 100);
        QTRY_COMPARE(w.centralWidget()->size(), QSize(340, 440));
    }

    void design_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        // 0: the application's font; 11: 11 pt; -1: smaller than the application's.
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("italic");

        auto row = [](const char *name, QRect r, const QString &text, bool enabled, int points,
                      bool italic) {
            QTest::newRow(name) << QString::fromLatin1(name) << r << text << enabled << points
                                << italic;
        };
        row("ListBox1", {-1, -1, 342, 200}, u"0 Files"_s, true, 11, false);
        row("cmdSend", {251, 410, 69, 20}, u"Go"_s, true, 0, false);
        row("LabStatus", {20, 392, 219, 20}, u"idle"_s, true, -1, true);
        row("ProgressBar1", {20, 412, 219, 18}, u""_s, true, 0, false);
        row("GroupBox1", {20, 212, 300, 164}, u"Options"_s, true, 0, false);
        row("CheckBox2", {57, 267, 250, 20}, u"Grid at bottom of Page"_s, true, 0, false);
        row("CheckBox1", {36, 242, 200, 20}, u"Print Puzzles"_s, true, 0, false);
        row("CheckBox3", {36, 292, 200, 20}, u"Print Solutions"_s, true, 0, false);
        row("CheckBox4", {36, 317, 250, 20}, u"Convert to CrossBow Format"_s, true, 0, false);
        row("CheckBox5", {57, 342, 200, 20}, u"Generate Solutions"_s, false, 0, false);
    }

    void design()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QFETCH(int, points);
        QFETCH(bool, italic);

        WinMain &w = *m_window;
        auto *control = w.findChild<QWidget *>(name);
        QVERIFY(control);
        QCOMPARE(contentRect(w, control), geometry);
        QCOMPARE(control->isEnabled(), enabled);
        QVERIFY(control->isVisible());
        QVERIFY(control->toolTip().isEmpty());

        QString shown;
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            shown = button->text();
        else if (auto *label = qobject_cast<QLabel *>(control))
            shown = label->text();
        else if (auto *group = qobject_cast<QGroupBox *>(control))
            shown = group->title();
        else if (auto *list = qobject_cast<QTreeWidget *>(control))
            shown = list->headerItem()->text(0);
        QCOMPARE(shown, text);

        const QFont system = QApplication::font();
        const QFont font = control->font();
        if (points == 0)
            QCOMPARE(font.pointSizeF(), system.pointSizeF());
        else if (points < 0)
            QVERIFY2(font.pointSizeF() < system.pointSizeF(), qPrintable(font.toString()));
        else
            QCOMPARE(font.pointSize(), points);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.family(), system.family());
    }

    void initialState()
    {
        WinMain &w = *m_window;
        QCOMPARE(w.CheckBox1->isChecked(), true);
        for (int n : {2, 3, 4, 5})
            QCOMPARE(box(w, n)->isChecked(), false);
        QCOMPARE(w.ProgressBar1->value(), 0);
        QCOMPARE(w.ProgressBar1->maximum(), 100);
        QCOMPARE(w.LabStatus->palette().color(QPalette::WindowText), QColor(Qt::black));
        QVERIFY(w.cmdSend->isDefault());
        QVERIFY(w.destination.isEmpty());
        QVERIFY(!w.ps);

        QTreeWidget *list = w.ListBox1;
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(list->columnCount(), 3);
        QVERIFY(!list->isColumnHidden(0));
        QVERIFY(list->isColumnHidden(1));
        QVERIFY(list->isColumnHidden(2));
        QVERIFY(!list->header()->isHidden());
        QCOMPARE(list->header()->sectionSize(0), list->viewport()->width());
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list->dragDropMode(), QAbstractItemView::InternalMove);
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
        QVERIFY(!list->rootIsDecorated());
    }

    void anchors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");

        // The content area grown from 340 x 453 to 500 x 600.
        QTest::newRow("list grows both ways") << QStringLiteral("ListBox1") << QRect(-1, -1, 502, 347);
        QTest::newRow("Go keeps to the corner") << QStringLiteral("cmdSend") << QRect(411, 557, 69, 20);
        QTest::newRow("status widens") << QStringLiteral("LabStatus") << QRect(20, 539, 379, 20);
        QTest::newRow("bar widens") << QStringLiteral("ProgressBar1") << QRect(20, 559, 379, 18);
        QTest::newRow("group widens") << QStringLiteral("GroupBox1") << QRect(20, 359, 460, 164);
        QTest::newRow("box moves with group") << QStringLiteral("CheckBox1") << QRect(36, 389, 200, 20);
        QTest::newRow("indented box moves") << QStringLiteral("CheckBox5") << QRect(57, 489, 200, 20);
    }

    void anchors()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);

        WinMain &w = *m_window;
        w.resize(w.size() + QSize(160, 147));
        QTRY_COMPARE(w.centralWidget()->size(), QSize(500, 600));
        QCOMPARE(contentRect(w, w.findChild<QWidget *>(name)), geometry);
    }

    void enableRules_data()
    {
        // Boxes clicked in turn, then the enabled states of "Grid at bottom
        // of Page", "Generate Solutions" and "Go", and the ticks of boxes 1 to 5.
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("gridEnabled");
        QTest::addColumn<bool>("generateEnabled");
        QTest::addColumn<bool>("goEnabled");
        QTest::addColumn<QString>("ticks");

        QTest::newRow("opened") << QList<int>{} << true << false << true << u"10000"_s;
        QTest::newRow("nothing ticked") << QList<int>{1} << false << false << false << u"00000"_s;
        QTest::newRow("grid tick kept while disabled") << QList<int>{2, 1} << false << false << false << u"01000"_s;
        QTest::newRow("convert") << QList<int>{4} << true << true << true << u"10010"_s;
        QTest::newRow("generate tick kept") << QList<int>{4, 5, 4} << true << false << true << u"10001"_s;
        QTest::newRow("solutions only") << QList<int>{1, 3} << false << false << true << u"00100"_s;
        QTest::newRow("convert only") << QList<int>{1, 4} << false << true << true << u"00010"_s;
        QTest::newRow("refinements change nothing else") << QList<int>{4, 2, 5} << true << true << true << u"11011"_s;
        QTest::newRow("disabled box refuses a click") << QList<int>{5, 1, 2} << false << false << false << u"00000"_s;
    }

    void enableRules()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(bool, gridEnabled);
        QFETCH(bool, generateEnabled);
        QFETCH(bool, goEnabled);
        QFETCH(QString, ticks);

        WinMain &w = *m_window;
        for (int n : clicks)
            QTest::mouseClick(box(w, n), Qt::LeftButton, {}, QPoint(8, box(w, n)->height() / 2));
        QCOMPARE(w.CheckBox2->isEnabled(), gridEnabled);
        QCOMPARE(w.CheckBox5->isEnabled(), generateEnabled);
        QCOMPARE(w.cmdSend->isEnabled(), goEnabled);
        QString shown;
        for (int n = 1; n <= 5; ++n)
            shown += box(w, n)->isChecked() ? u'1' : u'0';
        QCOMPARE(shown, ticks);

        // A run's lock leaves every box as the rules left it.
        w.DisableGUI();
        QVERIFY(!w.ListBox1->isEnabled());
        for (int n = 1; n <= 5; ++n)
            QVERIFY(!box(w, n)->isEnabled());
        QCOMPARE(w.cmdSend->isEnabled(), goEnabled);
        QTest::mouseClick(w.CheckBox3, Qt::LeftButton, {}, QPoint(8, w.CheckBox3->height() / 2));
        w.EnableGUI();
        QVERIFY(w.ListBox1->isEnabled());
        QCOMPARE(w.CheckBox2->isEnabled(), gridEnabled);
        QCOMPARE(w.CheckBox5->isEnabled(), generateEnabled);
        QCOMPARE(w.CheckBox1->isEnabled(), true);
        shown.clear();
        for (int n = 1; n <= 5; ++n)
            shown += box(w, n)->isChecked() ? u'1' : u'0';
        QCOMPARE(shown, ticks);
    }

    void returnPressesGo_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("goEnabled");

        QTest::newRow("list, Return") << QStringLiteral("ListBox1") << int(Qt::Key_Return) << true;
        QTest::newRow("box, Return") << QStringLiteral("CheckBox3") << int(Qt::Key_Return) << true;
        QTest::newRow("button, Enter") << QStringLiteral("cmdSend") << int(Qt::Key_Enter) << true;
        QTest::newRow("Go disabled") << QStringLiteral("ListBox1") << int(Qt::Key_Return) << false;
    }

    void returnPressesGo()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(bool, goEnabled);

        WinMain &w = *m_window;
        if (!goEnabled)
            w.CheckBox1->setChecked(false);
        QCOMPARE(w.cmdSend->isEnabled(), goEnabled);
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *target = w.findChild<QWidget *>(focus);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());

        // With an empty list, "Go" answers with its message.
        QTest::keyClick(target, Qt::Key(key));
        if (goEnabled) {
            QTRY_COMPARE(m_dialogs->calls, QStringList{QStringLiteral("message")});
            QCOMPARE(m_dialogs->messages.at(0).text, QStringLiteral("No Files in List"));
        } else {
            QTest::qWait(200);
            QVERIFY(m_dialogs->calls.isEmpty());
        }
        QCOMPARE(w.LabStatus->text(), QStringLiteral("idle"));
    }

    void parsePuzzle()
    {
        QTemporaryDir dir;
        const QString good = dir.filePath(QStringLiteral("tiny.puz"));
        const QString junk = dir.filePath(QStringLiteral("notes.txt"));
        QVERIFY(norvale::test::writeFile(good, norvale::puzwriter::write(norvale::test::tinySource())));
        QVERIFY(norvale::test::writeFile(junk, "not a puzzle"));

        WinMain &w = *m_window;
        w.ReadFolderItem(QFileInfo(good));
        w.ReadFolderItem(QFileInfo(junk));
        w.ReadFolderItem(QFileInfo(dir.filePath(QStringLiteral("gone.puz"))));
        QCOMPARE(w.ListBox1->headerItem()->text(0), QStringLiteral("3 Files"));

        QCOMPARE(w.ParsePuzzle(1), QStringLiteral("tiny.puz"));
        QCOMPARE(w.record.puz_title, QStringLiteral("Tiny"));
        const norvale::Puzzle before = w.record;
        QCOMPARE(w.ParsePuzzle(2), QString());
        QCOMPARE(w.ParsePuzzle(3), QString());
        QCOMPARE(w.record, before);
    }

    void accessor()
    {
        WinMain &w = norvale::ui::winMain();
        QCOMPARE(&norvale::ui::winMain(), &w);
        QVERIFY(w.isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.centralWidget()->size(), QSize(340, 453));
        QCOMPARE(w.LabStatus->text(), QStringLiteral("idle"));
        delete &w;
    }

    // Closing the main window ends the application, even with another
    // window open.
    void closeQuits()
    {
        QWidget other;
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTimer::singleShot(0, m_window.get(), &QWidget::close);
        QTimer failsafe;
        failsafe.setSingleShot(true);
        bool timedOut = false;
        connect(&failsafe, &QTimer::timeout, this, [&] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        failsafe.start(5000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!timedOut);
        QVERIFY(!m_window->isVisible());
        QVERIFY(!other.isVisible());
    }

private:
    std::unique_ptr<WinMain> m_window;
    std::unique_ptr<norvale::test::FakeDialogs> m_dialogs;
};

QTEST_MAIN(TestWinMain)
#include "tst_ui_winmain.moc"
