#pragma once

#include <QList>
#include <QStyledItemDelegate>
#include <QTreeWidget>

class QDropEvent;
class QMimeData;

// The file list's own widgets: the list that takes dropped files and hands
// its keys and presses to the main window, the painting of its rows'
// backgrounds, and the selection helpers the window's handlers use.
namespace norvale::ui {

class WinMain;

// Whether a drag carries files and folders: its first item is a local file.
bool carriesFileItems(const QMimeData *items);

// Takes a drag of files as a copy; false when it carries none.
bool acceptFileDrag(QDropEvent *event);

// The file list: files and folders dragged in from outside, the keys and
// the presses on cells go to the window's handlers. Rows dragged within the
// list are moved by the list itself, whole, hidden columns included.
class FileListBox : public QTreeWidget {
public:
    FileListBox(WinMain &window, QWidget *parent);

protected:
    void focusInEvent(QFocusEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    WinMain &m_window;
};

// Lets the window paint each cell's background before the list draws the
// selection and the text.
class CellBackgroundDelegate : public QStyledItemDelegate {
public:
    CellBackgroundDelegate(WinMain &window, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    WinMain *m_window;
};

// The rows with a selected cell, top to bottom.
QList<int> selectedRows(const QTreeWidget *list);

// Makes the row the only selected one and the current one.
void selectOnly(QTreeWidget *list, int row);

} // namespace norvale::ui
