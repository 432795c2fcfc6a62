// File > Print Preview... shows the pages Go prints; and the run report on
// the status line names what a run left out.
#include "fakedialogs.h"
#include "testsupport.h"
#include "ui/shell/menubar.h"
#include "ui/windowrun.h"
#include "ui/winmain.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

using norvale::ui::WinMain;
using namespace Qt::StringLiterals;

namespace {

int pdfPages(const QString &path)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    const QString text = QString::fromLatin1(norvale::test::readFile(path));
    int count = 0;
    for (auto it = page.globalMatch(text); it.hasNext(); it.next())
        ++count;
    return count;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        for (int i = 1; i <= 8; ++i) {
            norvale::puzwriter::PuzzleSource source = norvale::test::tinySource();
            source.title = QStringLiteral("Tiny %1").arg(i);
            QVERIFY(norvale::test::writeFile(file(QStringLiteral("p%1.puz").arg(i)),
                                             norvale::puzwriter::write(source)));
        }
        QVERIFY(norvale::test::writeFile(file(u"junk.txt"_s), "not a puzzle\n"));
        m_window = std::make_unique<WinMain>();
        m_dialogs = std::make_unique<norvale::test::FakeDialogs>();
        m_dialogs->folder = m_dir->path();
        m_dialogs->pdf = file(u"run.pdf"_s);
        m_window->setDialogs(m_dialogs.get());
    }
    void cleanup()
    {
        m_window.reset();
        m_dialogs.reset();
        m_dir.reset();
    }

    // The entry is there to be chosen when the list has something and a
    // printing pass is ticked.
    void previewEnabled_data()
    {
        QTest::addColumn<bool>("rows");
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty list") << false << u"1"_s << false;
        QTest::newRow("puzzles") << true << u"1"_s << true;
        QTest::newRow("solutions") << true << u"3"_s << true;
        QTest::newRow("conversion only") << true << u"45"_s << false;
    }

    void previewEnabled()
    {
        QFETCH(bool, rows);
        QFETCH(QString, ticked);
        QFETCH(bool, enabled);
        if (rows)
            m_window->ReadFolderItem(QFileInfo(file(u"p1.puz"_s)));
        tick(ticked);
        m_window->Event_EnableMenuItems();
        QCOMPARE(norvale::MenuBar1().FilePrintPreview()->isEnabled(), enabled);
    }

    // The preview holds exactly the pages Go prints into a PDF, and printing
    // from it prints them again.
    void previewShowsThePrintedPages_data()
    {
        QTest::addColumn<QString>("ticked");
        QTest::newRow("puzzles") << u"1"_s;
        QTest::newRow("puzzles, grid at bottom") << u"12"_s;
        QTest::newRow("solutions") << u"3"_s;
        QTest::newRow("both, and conversion") << u"134"_s;
    }

    void previewShowsThePrintedPages()
    {
        QFETCH(QString, ticked);
        WinMain &w = *m_window;
        tick(ticked);
        for (const QString &name : {u"p1.puz"_s, u"junk.txt"_s, u"p2.puz"_s, u"p3.puz"_s,
                                    u"p4.puz"_s, u"p5.puz"_s, u"p6.puz"_s, u"p7.puz"_s})
            w.ReadFolderItem(QFileInfo(file(name)));

        int previewPages = -1;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = w.findChild<QPrintPreviewDialog *>(u"PrintPreview"_s);
            if (!dialog)
                return;
            if (auto *view = dialog->findChild<QPrintPreviewWidget *>())
                previewPages = view->pageCount();
            dialog->reject();
        });
        w._FilePrintPreview_Action();
        QVERIFY(!w.running());
        // No file was written by the preview, however the boxes are ticked.
        QCOMPARE(QDir(m_dir->path()).entryList({u"*.txt.txt"_s, u"*.puz.txt"_s}), QStringList{});

        QPrinter again(QPrinter::HighResolution);
        again.setOutputFormat(QPrinter::PdfFormat);
        again.setOutputFileName(file(u"again.pdf"_s));
        w.run().printPages(again, w.rows(), w.options());

        w.cmdSend->click();
        const int printed = pdfPages(file(u"run.pdf"_s));
        QVERIFY(printed > 0);
        QCOMPARE(previewPages, printed);
        QCOMPARE(pdfPages(file(u"again.pdf"_s)), printed);
    }

    // After a run that left something out, the status line reads "done"
    // and its tooltip says what, in the command line's words; the next run
    // starts with an empty report.
    void runReport()
    {
        WinMain &w = *m_window;
        norvale::puzwriter::PuzzleSource locked = norvale::test::tinySource();
        locked.noSolution = true;
        QVERIFY(norvale::test::writeFile(file(u"locked.puz"_s), norvale::puzwriter::write(locked)));
        tick(u"345"_s);
        for (const QString &name : {u"p1.puz"_s, u"junk.txt"_s, u"locked.puz"_s, u"missing.puz"_s})
            w.ReadFolderItem(QFileInfo(file(name)));
        w.cmdSend->click();
        QCOMPARE(w.LabStatus->text(), u"done"_s);
        const QString path = QDir::toNativeSeparators(m_dir->path()) + QDir::separator();
        const QStringList expected{
            path + u"junk.txt: not a readable puzzle: no ACROSS&DOWN signature"_s,
            path + u"missing.puz: not a readable puzzle: the file does not exist"_s,
            path + u"locked.puz: the solution is locked; its solution sheet shows no letters"_s,
            path + u"locked.puz: the solution is locked; no solution file written"_s,
        };
        QCOMPARE(w.LabStatus->toolTip().split(u'\n'), expected);
        QVERIFY(QFileInfo::exists(file(u"locked.puz.txt"_s)));
        QVERIFY(!QFileInfo::exists(file(u"locked.puz.sol.txt"_s)));

        w.ListBox1->clear();
        w.ReadFolderItem(QFileInfo(file(u"p2.puz"_s)));
        w.cmdSend->click();
        QCOMPARE(w.LabStatus->toolTip(), QString());
    }

    // A long report ends after 50 lines with how many more there are.
    void longRunReport()
    {
        WinMain &w = *m_window;
        tick(u"4"_s);
        for (int i = 0; i < 60; ++i)
            w.ReadFolderItem(
                QFileInfo(file(QStringLiteral("gone%1.puz").arg(i, 2, 10, QChar(u'0')))));
        w.cmdSend->click();
        const QStringList lines = w.LabStatus->toolTip().split(u'\n');
        QCOMPARE(lines.size(), 51);
        QVERIFY(lines.at(49).contains(u"gone49.puz: not a readable puzzle"_s));
        QCOMPARE(lines.at(50), u"and 10 more"_s);
    }

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }

    void tick(const QString &boxes)
    {
        QCheckBox *all[] = {m_window->CheckBox1, m_window->CheckBox2, m_window->CheckBox3,
                            m_window->CheckBox4, m_window->CheckBox5};
        for (int n = 1; n <= 5; ++n)
            all[n - 1]->setChecked(boxes.contains(QChar(u'0' + n)));
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WinMain> m_window;
    std::unique_ptr<norvale::test::FakeDialogs> m_dialogs;
};

QTEST_MAIN(TestPreview)
#include "tst_ui_preview.moc"
