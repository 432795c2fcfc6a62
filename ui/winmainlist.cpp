// The main window's file list: what goes in (drops, "Add File...", folder
// walks), what comes out (Delete, the context menu) and how it shows (the
// count in its heading, the stripes).
#include "filelistbox.h"
#include "rundialogs.h"
#include "winmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTreeWidget>
#include <QUrl>

namespace norvale::ui {

namespace {
// How often a folder walk lets the window handle its events.
constexpr qint64 kWalkRepaintMs = 20;
} // namespace

// Rows found by a folder walk go straight into the list.
class WinMain::ListSink : public FileListSink {
public:
    explicit ListSink(WinMain &window) : m_window(window) {}

    void addRow(const FileRow &row) override { m_window.AddRow(row); }
    void updatefilecount() override { m_window.updatefilecount(); }
    // The window stays responsive during a long walk and shows the count
    // growing, but is not repainted for every file: that would make the
    // walk many times slower than the files it finds.
    void yield() override
    {
        QElapsedTimer &clock = m_window.m_walkClock;
        if (clock.isValid() && clock.elapsed() < kWalkRepaintMs)
            return;
        QCoreApplication::processEvents();
        clock.start();
    }
    // A window closed during the walk ends it at once.
    bool stopped() override { return m_window.m_closing; }

private:
    WinMain &m_window;
};

QList<FileRow> WinMain::rows() const
{
    QList<FileRow> result;
    const int n = ListBox1->topLevelItemCount();
    result.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QTreeWidgetItem *item = ListBox1->topLevelItem(i);
        result.append({item->text(0), item->text(1), item->text(2)});
    }
    return result;
}

void WinMain::AddRow(const FileRow &row)
{
    auto *item = new QTreeWidgetItem({row.shown, row.name, row.folder});
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled |
                   Qt::ItemNeverHasChildren);
    ListBox1->addTopLevelItem(item);
}

void WinMain::ReadFolderItem(const QFileInfo &item)
{
    if (m_closing)
        return;
    const int before = ListBox1->topLevelItemCount();
    ListSink sink(*this);
    norvale::ReadFolderItem(item, sink);
    // What was just added comes into view.
    if (ListBox1->topLevelItemCount() > before)
        ListBox1->scrollToItem(ListBox1->topLevelItem(ListBox1->topLevelItemCount() - 1));
}

void WinMain::updatefilecount()
{
    ListBox1->headerItem()->setText(0, fileCountHeading(ListBox1->topLevelItemCount()));
}

QList<QFileInfo> WinMain::ShowFolderDialog()
{
    QList<QFileInfo> items;
    for (const QString &chosen :
         dialogs().chooseItems(this, QStringLiteral("Select a File to attach"),
                               QStringLiteral("Select File"), QStringLiteral("Select")))
        items.append(QFileInfo(chosen));
    return items;
}

void WinMain::NewAttachment()
{
    for (const QFileInfo &item : ShowFolderDialog())
        ReadFolderItem(item);
}

void WinMain::DeleteItem(bool selectAfter)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<int> selected = selectedRows(ListBox1);
    if (selected.isEmpty()) {
        QApplication::restoreOverrideCursor();
        dialogs().message(this, QStringLiteral("Please select item(s) first"));
        return;
    }
    // From the bottom up, so that the rows still to go keep their numbers.
    for (auto row = selected.crbegin(); row != selected.crend(); ++row)
        delete ListBox1->takeTopLevelItem(*row);
    const int remaining = ListBox1->topLevelItemCount();
    if (selectAfter && remaining > 0)
        selectOnly(ListBox1, std::min(selected.constFirst(), remaining - 1));
    repaint();
    QApplication::restoreOverrideCursor();
}

void WinMain::Event_DropObject(const QMimeData *items)
{
    if (items) {
        for (const QUrl &url : items->urls()) {
            if (!url.isLocalFile())
                break;
            ReadFolderItem(QFileInfo(url.toLocalFile()));
        }
    }
    updatefilecount();
}

void WinMain::ListBox1_DropObject(const QMimeData *items, Qt::DropAction)
{
    Event_DropObject(items);
}

bool WinMain::ListBox1_KeyDown(int key)
{
    if (key != Qt::Key_Backspace && key != Qt::Key_Delete)
        return false;
    DeleteItem(true);
    updatefilecount();
    return true;
}

void WinMain::ListBox1_ContextKey()
{
    const QList<int> selected = selectedRows(ListBox1);
    QPoint at(0, 0);
    if (!selected.isEmpty()) {
        const QRect row = ListBox1->visualItemRect(ListBox1->topLevelItem(selected.constFirst()));
        at = row.isValid() ? row.center() : QPoint(0, 0);
    }
    ContextualMenu1->popup(ListBox1->viewport()->mapToGlobal(at));
}

bool WinMain::ListBox1_CellClick(int row, int, QPoint at, bool contextual)
{
    if (!contextual)
        return false;
    // A single selection follows the click; a larger one is what the
    // command is meant for and stays.
    if (selectedRows(ListBox1).size() <= 1) {
        selectOnly(ListBox1, row);
        ListBox1->viewport()->update();
    }
    ContextualMenu1->popup(ListBox1->viewport()->mapToGlobal(at));
    return true;
}

void WinMain::ListBox1_CellBackgroundPaint(QPainter &g, const QRect &cell, int row, int)
{
    if (row % 2 == 0)
        g.fillRect(cell, QColor::fromRgb(kStripe));
}

void WinMain::ListBox1_Change() { updatefilecount(); }

void WinMain::ListBox1_Open()
{
    // Files and folders from outside; rows of the list itself.
    ListBox1->setAcceptDrops(true);
    ListBox1->viewport()->setAcceptDrops(true);
}

void WinMain::ContextualMenu1_Open()
{
    const QStringList items = QStringLiteral("Sort List,-,Delete Item,-,Clear List").split(u',');
    for (const QString &item : items) {
        if (item == u"-")
            ContextualMenu1->addSeparator();
        else
            ContextualMenu1->addAction(item);
    }
}

void WinMain::ContextualMenu1_Action(const QString &item)
{
    if (item == u"Delete Item") {
        const QList<int> selected = selectedRows(ListBox1);
        if (selected.isEmpty()) {
            dialogs().message(this, QStringLiteral("Please select item first"));
            return;
        }
        // Only the topmost selected row goes; the others stay selected.
        const int row = selected.constFirst();
        delete ListBox1->takeTopLevelItem(row);
        if (QTreeWidgetItem *next = ListBox1->topLevelItem(row))
            next->setSelected(false);
    } else if (item == u"Clear List") {
        ListBox1->clear();
    } else if (item == u"Sort List") {
        ListBox1->sortItems(0, Qt::AscendingOrder);
    }
}

} // namespace norvale::ui
