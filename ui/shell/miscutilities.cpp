#include "miscutilities.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QTextEdit>

namespace norvale::MiscUtilities {

void SelectAll(QAbstractItemView *list)
{
    if (!list || !list->model() || !list->selectionModel())
        return;
    const QAbstractItemModel *model = list->model();
    const QModelIndex root = list->rootIndex();
    const int rows = model->rowCount(root);
    const int columns = model->columnCount(root);
    if (rows == 0 || columns == 0)
        return;
    // Straight through the selection model: the view's own selectAll() does
    // nothing in single-selection mode.
    const QItemSelection all(model->index(0, 0, root), model->index(rows - 1, columns - 1, root));
    list->selectionModel()->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void SelectAll(QTextEdit *field)
{
    if (field)
        field->selectAll();
}

void SelectAll()
{
    if (CurrentListBox)
        SelectAll(CurrentListBox.data());
    else if (CurrentEditField)
        SelectAll(CurrentEditField.data());
}

} // namespace norvale::MiscUtilities
