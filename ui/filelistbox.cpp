#include "filelistbox.h"

#include "winmain.h"

#include <QDir>
#include <QDropEvent>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>
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

// The list that gets the focus makes its first row the current one, which
// draws that row as if it were chosen; a row that is not selected is not
// left current, so no row looks selected unless it is.
void FileListBox::focusInEvent(QFocusEvent *event)
{
    QTreeWidget::focusInEvent(event);
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isSelected(current))
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

// A row whose name does not fit the list shows its whole path as a tooltip.
bool FileListBox::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex cell = indexAt(help->pos());
        if (const QTreeWidgetItem *item = cell.isValid() ? itemFromIndex(cell) : nullptr) {
            const QRect area = visualRect(cell);
            const int needed = fontMetrics().horizontalAdvance(item->text(0))
                               + 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 4;
            if (needed > area.width()) {
                QToolTip::showText(help->globalPos(),
                                   QDir::toNativeSeparators(item->text(2) + item->text(1)), this, area);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QTreeWidget::viewportEvent(event);
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
    // The Menu key and Shift+F10 open the context menu for the selected
    // rows, as a right-click on them does.
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((event->key() == Qt::Key_Menu && mods == Qt::NoModifier)
        || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
        m_window.ListBox1_ContextKey();
        event->accept();
        return;
    }
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
    // Only a selected row shows the focus frame: on any other it reads as
    // a selection.
    QStyleOptionViewItem shown = option;
    if (!(shown.state & QStyle::State_Selected))
        shown.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, shown, index);
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
