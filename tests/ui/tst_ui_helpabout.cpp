// The help window: its design, the rendered help page, one window at a time.

#include "app/miscutilities.h"
#include "ui/markup.h"
#include "ui/winhelp.h"

#include <QApplication>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>

using namespace norvale;
using namespace norvale::ui;
using namespace Qt::StringLiterals;

namespace {

template <typename Window>
int countWindows()
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
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<WinHelp *>(w))
                closeAndDelete(w);
        }
        MiscUtilities::CurrentEditField = nullptr;
        MiscUtilities::CurrentListBox = nullptr;
    }

    void helpWindow()
    {
        WinHelp &help = winHelp();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(help.windowTitle(), u"Help"_s);
        QCOMPARE(help.size(), QSize(400, 400));
        QCOMPARE(help.minimumSize(), QSize(64, 64));
        QCOMPARE(help.maximumSize(), QSize(32000, 32000));
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

        // The field keeps filling the window.
        help.resize(600, 300);
        QTRY_COMPARE(field->geometry(), QRect(-2, -2, 602, 302));
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
};

QTEST_MAIN(TestHelpAbout)
#include "tst_ui_helpabout.moc"
