#include "filelistbox.h"

#include "winmain.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include <algorithm>

namespace norvale::ui {

bool carriesFileItems(const QMimeData *items)
{
    if (!items || !items->hasUrls())
        return false;
    const QList<QUrl> urls = items->urls();
    return !urls.isEmpty() && urls.constFirst().isLocalFile();
}

// Norvale only lists the files, and a source told they were moved might
// remove them: a drag is taken as a copy, or a link where the source offers
// no copy.
bool acceptFileDrag(QDropEvent *event)
{
    if (!carriesFileItems(event->mimeData()))
        return false;
    const Qt::DropActions possible = event->possibleActions();
    if (possible & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else if (possible & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else
        return false;
    event->accept();
    return true;
}

FileListBox::FileListBox(WinMain &window, QWidget *parent) : QTreeWidget(parent), m_window(window)
{
}

void FileListBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this)
        QTreeWidget::dragEnterEvent(event);
    else if (!acceptFileDrag(event))
        event->ignore();
}

void FileListBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() == this)
        QTreeWidget::dragMoveEvent(event);
    else if (!acceptFileDrag(event))
        event->ignore();
}

void FileListBox::dropEvent(QDropEvent *event)
{
    if (event->source() == this) {
        // The list takes the moved rows out and puts them back; they stay
        // selected.
        const QList<QTreeWidgetItem *> moved = selectedItems();
        QTreeWidget::dropEvent(event);
        for (QTreeWidgetItem *item : moved)
            item->setSelected(true);
        if (!moved.isEmpty())
            setCurrentItem(moved.constFirst(), 0, QItemSelectionModel::NoUpdate);
    } else if (acceptFileDrag(event)) {
        m_window.ListBox1_DropObject(event->mimeData(), event->dropAction());
    } else {
        event->ignore();
    }
}

void FileListBox::keyPressEvent(QKeyEvent *event)
{
    if (m_window.ListBox1_KeyDown(event->key()))
        event->accept();
    else
        QTreeWidget::keyPressEvent(event);
}

void FileListBox::mousePressEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    const QModelIndex cell = indexAt(at);
    if (cell.isValid() && m_window.ListBox1_CellClick(cell.row(), cell.column(), at,
                                                      event->button() == Qt::RightButton)) {
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

CellBackgroundDelegate::CellBackgroundDelegate(WinMain &window, QObject *parent)
    : QStyledItemDelegate(parent), m_window(&window)
{
}

void CellBackgroundDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    painter->save();
    m_window->ListBox1_CellBackgroundPaint(*painter, option.rect, index.row(), index.column());
    painter->restore();
    QStyledItemDelegate::paint(painter, option, index);
}

QList<int> selectedRows(const QTreeWidget *list)
{
    QList<int> rows;
    for (const QItemSelectionRange &range : list->selectionModel()->selection()) {
        if (range.parent().isValid())
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void selectOnly(QTreeWidget *list, int row)
{
    list->setCurrentItem(list->topLevelItem(row), 0,
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace norvale::ui
