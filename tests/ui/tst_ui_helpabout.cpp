// The help window and the About box: their design, the rendered texts, one
// window each, the Edit menu's select-all and the badge.

#include "ui/aboutwindow.h"
#include "ui/markup.h"
#include "ui/shell/menubar.h"
#include "ui/shell/miscutilities.h"
#include "ui/winhelp.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

using namespace norvale;
using namespace norvale::ui;
using namespace Qt::StringLiterals;

namespace norvale::ui {
// How QCOMPARE shows a run that differs.
char *toString(const StyledRun &run)
{
    const QString text = QStringLiteral("line %1 \"%2\" %3 pt%4%5")
                             .arg(run.line)
                             .arg(run.text.left(20))
                             .arg(run.size)
                             .arg(run.bold ? QStringLiteral(" bold") : QString())
                             .arg(run.italic ? QStringLiteral(" italic") : QString());
    return qstrdup(text.toUtf8().constData());
}
} // namespace norvale::ui

namespace {

template <typename Window> int countWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += qobject_cast<Window *>(w) != nullptr ? 1 : 0;
    return n;
}

// Closes a window that deletes itself on close and lets the deletion happen.
void closeAndDelete(QWidget *window)
{
    if (!window)
        return;
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The field scrolled down with some text selected, as a reader leaves it.
void scrollAndSelect(QTextEdit *field)
{
    field->verticalScrollBar()->setValue(field->verticalScrollBar()->maximum());
    QTextCursor cursor(field->document());
    cursor.setPosition(3);
    cursor.setPosition(9, QTextCursor::KeepAnchor);
    field->setTextCursor(cursor);
}

// Every fragment of the document with the properties its character format
// sets (font sizes, weights and the like), one text a fragment.
QStringList fragments(const QTextDocument &doc)
{
    QStringList all;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QMap<int, QVariant> properties = it.fragment().charFormat().properties();
            QStringList set;
            for (auto p = properties.cbegin(); p != properties.cend(); ++p)
                set.append(u"%1=%2"_s.arg(p.key(), 0, 16).arg(p.value().toString()));
            all.append(it.fragment().text().left(12) + u": "_s + set.join(u", "_s));
        }
    }
    return all;
}

// The window shows the shared menus in its own visible bar, right above the
// content area.
void verifyMenuBarAbove(QMainWindow &window)
{
    QMenuBar *bar = window.menuBar();
    QVERIFY(bar->isVisible());
    const MenuBar &shared = MenuBar1();
    const QList<QAction *> menus = {shared.FileMenu(), shared.EditMenu(), shared.HelpMenu()};
    QCOMPARE(bar->actions(), menus);
    QCOMPARE(bar->geometry(), QRect(0, 0, window.width(), bar->height()));
    QVERIFY(bar->height() > 0);
    QCOMPARE(window.centralWidget()->geometry(),
             QRect(0, bar->height(), window.width(), window.height() - bar->height()));
}

void verifyFromTop(QTextEdit *field)
{
    QCOMPARE(field->verticalScrollBar()->value(), 0);
    QVERIFY(!field->textCursor().hasSelection());
    QCOMPARE(field->textCursor().position(), 0);
}

} // namespace

class TestHelpAbout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        // Closing a window deletes its own popups, which are top-level too.
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<WinHelp *>(w) || qobject_cast<AboutWindow *>(w))
                windows.append(w);
        }
        for (const QPointer<QWidget> &w : windows)
            closeAndDelete(w);
        MiscUtilities::CurrentEditField = nullptr;
        MiscUtilities::CurrentListBox = nullptr;
    }

    void helpWindow()
    {
        WinHelp &help = winHelp();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(help.windowTitle(), u"Help"_s);
        // The sizes are the content area's, below the menu bar.
        QWidget *content = help.centralWidget();
        verifyMenuBarAbove(help);
        QCOMPARE(content->size(), QSize(400, 400));
        QCOMPARE(help.maximumSize(), QSize(32000, 32000));
        help.resize(1, 1);
        QTRY_COMPARE(content->size(), QSize(64, 64));
        help.resize(help.size() + QSize(336, 336));
        QTRY_COMPARE(content->size(), QSize(400, 400));
        const Qt::WindowFlags flags = help.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

        QTextEdit *field = help.EditField1;
        QCOMPARE(field->geometry(), QRect(-2, -2, 402, 402));
        QVERIFY(field->isReadOnly());
        QCOMPARE(field->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(field->font().pointSize(), 12);
        QVERIFY(field->tabChangesFocus());

        // The field keeps filling the window below the bar.
        help.resize(help.size() + QSize(200, -100));
        QTRY_COMPARE(field->geometry(), QRect(-2, -2, 602, 302));
        verifyMenuBarAbove(help);
        QVERIFY(!field->horizontalScrollBar()->isVisible());
    }

    void renderedHelp()
    {
        const QTextEdit *field = winHelp().EditField1;
        const QTextDocument &doc = *field->document();
        QCOMPARE(doc.blockCount(), 25);
        const QString text = doc.toPlainText();
        QVERIFY(!text.contains(u'<'));
        QVERIFY(!text.contains(u'>'));
        QVERIFY(!text.contains(u"font"_s));
        QVERIFY(text.startsWith(u"Norvale - Help\n\nNorvale batch prints"_s));

        // Everything but these runs is plain 12-point text: line 3 after its
        // first word, which comes right after the "</font>" of line 1, too.
        QList<StyledRun> styled;
        for (const StyledRun &run : styledRuns(doc)) {
            if (run.bold || run.italic || run.size != 12)
                styled.append(run);
        }
        const QList<StyledRun> expected = {
            {1, u"Norvale - Help"_s, true, false, 14},
            {3, u"Norvale"_s, false, true, 12},
            {6, u"Printing and Converting Puzzles"_s, true, false, 12},
            {12, u"Print Puzzles"_s, false, true, 12},
            {15, u"Grid at bottom of Page"_s, false, true, 12},
            {18, u"Print Solutions"_s, false, true, 12},
            {21, u"Convert to CrossBow Format"_s, false, true, 12},
            {24, u"Generate Solutions"_s, false, true, 12},
        };
        QCOMPARE(styled.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            QCOMPARE(styled.at(i).line, expected.at(i).line);
            QCOMPARE(styled.at(i).text, expected.at(i).text);
            QCOMPARE(styled.at(i).bold, expected.at(i).bold);
            QCOMPARE(styled.at(i).italic, expected.at(i).italic);
            QCOMPARE(styled.at(i).size, expected.at(i).size);
        }
        verifyFromTop(winHelp().EditField1);
    }

    // Help again brings the same window forward without rendering again;
    // after closing, the next Help makes a fresh one.
    void oneHelpWindow()
    {
        QPointer<WinHelp> first = &winHelp();
        scrollAndSelect(first->EditField1);
        QCOMPARE(&winHelp(), first.data());
        QCOMPARE(countWindows<WinHelp>(), 1);
        QVERIFY(first->EditField1->textCursor().hasSelection());

        closeAndDelete(first);
        QVERIFY(first.isNull());
        QCOMPARE(countWindows<WinHelp>(), 0);
        verifyFromTop(winHelp().EditField1);
        QCOMPARE(countWindows<WinHelp>(), 1);
    }

    void aboutBox_data()
    {
        QTest::addColumn<bool>("credits");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("copyrightTop");
        QTest::addColumn<int>("badgeTop");

        QTest::newRow("with credits") << true << 366 << 280 << 324;
        QTest::newRow("without credits") << false << 218 << 132 << 176;
    }
    void aboutBox()
    {
        QFETCH(bool, credits);
        QFETCH(int, height);
        QFETCH(int, copyrightTop);
        QFETCH(int, badgeTop);

        AboutWindow &about = aboutWindow();
        // Set up the other way first: every Show arranges the box afresh.
        about.Show(!credits);
        about.Show(credits);
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QString());
        // The design is the content area's; the box takes the bar in too.
        QCOMPARE(about.centralWidget()->size(), QSize(284, height));
        verifyMenuBarAbove(about);
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QCOMPARE(about.size(), QSize(284, about.menuBar()->height() + height));
        QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));

        QCOMPARE(about.AppIconCanvas->geometry(), QRect(110, 8, 64, 64));
        QCOMPARE(about.StatAppName->geometry(), QRect(20, 86, 244, 16));
        QCOMPARE(about.StatAppName->text(), u"Norvale"_s);
        QVERIFY(about.StatAppName->font().bold());
        QCOMPARE(about.StatAppVersion->geometry(), QRect(20, 112, 244, 12));
        QCOMPARE(about.StatAppVersion->text(), u"Version "_s + AboutWindow::VersionString());
        QCOMPARE(about.StatAppCopyright->geometry(), QRect(20, copyrightTop, 244, 32));
        QCOMPARE(about.StatAppCopyright->text(), AboutWindow::copyrightNotice());
        QCOMPARE(about.BadgeCanvas->geometry(), QRect(34, badgeTop, 216, 30));
        QCOMPARE(about.EditAppCredits->isVisible(), credits);
        if (credits)
            QCOMPARE(about.EditAppCredits->geometry(), QRect(0, 132, 284, 140));
        QCOMPARE(about.AppIconCanvas->focusPolicy(), Qt::NoFocus);
        QCOMPARE(about.BadgeCanvas->focusPolicy(), Qt::NoFocus);
    }

    void credits()
    {
        AboutWindow &about = aboutWindow();
        about.Show(true);
        QTextEdit *field = about.EditAppCredits;
        const QString text = field->toPlainText();
        QVERIFY(!text.contains(u'<'));
        QVERIFY(!text.contains(u'>'));

        const QList<StyledRun> runs = styledRuns(*field->document());
        QVERIFY(runs.size() >= 4);
        QVERIFY(runs.at(0).bold);
        QCOMPARE(runs.at(1).size, 12.0);
        QVERIFY(runs.at(1).text.startsWith(u"    "_s));
        const StyledRun &disclaimer = runs.last();
        QCOMPARE(disclaimer.size, 10.0);
        QVERIFY(!disclaimer.bold);
        QCOMPARE(disclaimer.text, disclaimer.text.toUpper());
        QVERIFY(disclaimer.text.contains(u"WARRANTY"_s));

        // Showing the box again keeps one box and puts the credits back at
        // the top with nothing selected.
        scrollAndSelect(field);
        QVERIFY(field->verticalScrollBar()->value() > 0);
        aboutWindow().Show(true);
        QCOMPARE(&aboutWindow(), &about);
        QCOMPARE(countWindows<AboutWindow>(), 1);
        verifyFromTop(field);
        QCOMPARE(styledRuns(*field->document()), runs);
    }

    // A click into the credits puts the cursor into one style run; the
    // next Show renders every run in its own style again, whatever the
    // cursor's style was.
    void creditsReshownAfterClick_data()
    {
        QTest::addColumn<QString>("clickedOn");

        QTest::newRow("the 10-point disclaimer") << u"WARRANTY"_s;
        QTest::newRow("a bold heading") << u"Disclaimer"_s;
        QTest::newRow("the author's name") << u"developers"_s;
    }
    void creditsReshownAfterClick()
    {
        QFETCH(QString, clickedOn);

        AboutWindow &about = aboutWindow();
        about.Show(true);
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QTextEdit *field = about.EditAppCredits;
        const QList<StyledRun> runs = styledRuns(*field->document());
        const auto formats = fragments(*field->document());
        QCOMPARE(runs.first().size, 12.0);
        QVERIFY(runs.first().bold);

        QTextCursor word = field->document()->find(clickedOn);
        QVERIFY(!word.isNull());
        word.setPosition(word.selectionStart() + 2);
        const QPoint at = field->cursorRect(word).center();
        QVERIFY(field->viewport()->rect().contains(at));
        QTest::mouseClick(field->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(field->textCursor().position(), word.position());

        about.Show(true);
        QCOMPARE(styledRuns(*field->document()), runs);
        QCOMPARE(fragments(*field->document()), formats);
        verifyFromTop(field);
    }

    void closeAbout()
    {
        QPointer<AboutWindow> about = &aboutWindow();
        about->Show(true);
        about->_FileCloseWindow_Action();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull());
        QCOMPARE(countWindows<AboutWindow>(), 0);
        aboutWindow().Show(true);
        QCOMPARE(countWindows<AboutWindow>(), 1);
    }

    // The box registers its own menu commands: with it in front, the menu
    // bar's select-all and "Close Window" reach it, whoever opened it, and
    // its registrations go with it.
    void boxMenuCommands()
    {
        QPointer<AboutWindow> about = &aboutWindow();
        about->Show(true);
        QVERIFY(QTest::qWaitForWindowActive(about));
        QTextEdit *field = about->EditAppCredits;
        field->setFocus();
        QTRY_COMPARE(MiscUtilities::CurrentEditField.data(), field);

        QVERIFY(MenuBar1().Dispatch(u"EditSelectAll"_s));
        QCOMPARE(field->textCursor().selectionStart(), 0);
        QCOMPARE(field->textCursor().selectionEnd(), field->document()->characterCount() - 1);

        QVERIFY(MenuBar1().Dispatch(u"FileCloseWindow"_s));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about.isNull());
        QVERIFY(!MenuBar1().Dispatch(u"FileCloseWindow"_s));
    }

    void versionString_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QString>("version");

        QTest::newRow("development") << 0 << u"1.2.0 (Dev. 7)"_s;
        QTest::newRow("alpha") << 1 << u"1.2.0a (7)"_s;
        QTest::newRow("beta") << 2 << u"1.2.0b (7)"_s;
        QTest::newRow("final") << 3 << u"1.2.0 (7)"_s;
        QTest::newRow("unknown stage") << 4 << u"1.2.0"_s;
    }
    void versionString()
    {
        QFETCH(int, stage);
        QFETCH(QString, version);
        QCOMPARE(AboutWindow::VersionString(1, 2, 0, stage, 7), version);
    }

    // The select-all entry with the About box in front selects the credits
    // while they have the focus, and nothing otherwise.
    void selectAllCredits()
    {
        AboutWindow &about = aboutWindow();
        about.Show(true);
        QVERIFY(QTest::qWaitForWindowActive(&about));
        QTextEdit *field = about.EditAppCredits;

        // The credits are the box's only control that takes the focus.
        field->setFocus();
        QTRY_COMPARE(MiscUtilities::CurrentEditField.data(), field);
        about._EditSelectAll_Action();
        const QTextCursor selected = field->textCursor();
        QCOMPARE(selected.selectionStart(), 0);
        QCOMPARE(selected.selectionEnd(), field->document()->characterCount() - 1);

        field->clearFocus();
        QTRY_VERIFY(MiscUtilities::CurrentEditField.isNull());
        field->setTextCursor(QTextCursor(field->document()));
        about._EditSelectAll_Action();
        QVERIFY(!field->textCursor().hasSelection());
    }

    // A list, when one is set, goes before the text field.
    void selectAllList()
    {
        QListWidget list;
        list.setSelectionMode(QAbstractItemView::SingleSelection);
        QTextEdit field;
        field.setPlainText(u"text"_s);
        MiscUtilities::CurrentEditField = &field;

        MiscUtilities::CurrentListBox = &list;
        MiscUtilities::SelectAll();
        QVERIFY(list.selectionModel()->selectedRows().isEmpty());
        QVERIFY(!field.textCursor().hasSelection());

        list.addItems({u"a"_s, u"b"_s, u"c"_s});
        MiscUtilities::SelectAll();
        QCOMPARE(list.selectionModel()->selectedRows().size(), 3);
        QVERIFY(!field.textCursor().hasSelection());

        MiscUtilities::CurrentListBox = nullptr;
        MiscUtilities::SelectAll();
        QCOMPARE(field.textCursor().selectedText(), u"text"_s);
    }

    void badgeOpensVendorPage()
    {
        AboutWindow &about = aboutWindow();
        about.Show(true);
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QList<QUrl> opened;
        about.setUrlOpener([&](const QUrl &url) {
            opened.append(url);
            return true;
        });
        QTest::mouseClick(about.BadgeCanvas, Qt::LeftButton, {}, QPoint(100, 15));
        QCOMPARE(opened, QList<QUrl>{QUrl(u"https://www.qt.io/"_s)});
        QVERIFY(about.isVisible());
    }

    // The pictures are found by number and their masks cut the corners away.
    void pictures()
    {
        QCOMPARE(Picture(168).size(), QSize(216, 30));
        QCOMPARE(Picture(169).size(), QSize(216, 30));
        QCOMPARE(Picture(170).size(), Picture(171).size());
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, Picture(167));

        for (const auto &[picture, mask] : {std::pair{168, 169}, std::pair{171, 170}}) {
            const QImage masked = maskedPicture(picture, mask);
            QCOMPARE(qAlpha(masked.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(masked.pixel(masked.width() / 2, masked.height() / 2)), 255);
        }
        QVERIFY(!applicationIcon().isNull());
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_ui_helpabout.moc"
