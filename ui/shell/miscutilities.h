#pragma once

// Complete types: assigning to a QPointer needs them.
#include <QAbstractItemView>
#include <QPointer>
#include <QTextEdit>

// The targets of the Edit menu's select-all entry, shared by every window.
// Both start empty; a pointer whose widget has been destroyed reads as empty.
namespace norvale::MiscUtilities {

// The text field the generic select-all applies to; the About box's credits
// field puts itself here while it has the keyboard focus.
inline QPointer<QTextEdit> CurrentEditField;
// The list the generic select-all applies to; nothing sets it at present.
inline QPointer<QAbstractItemView> CurrentListBox;

// Selects every row of the list, first to last; an empty list stays as it is.
void SelectAll(QAbstractItemView *list);
// Selects the whole text of the field.
void SelectAll(QTextEdit *field);
// Selects all of CurrentListBox when it is set, otherwise all of
// CurrentEditField when that is set, otherwise does nothing.
void SelectAll();

} // namespace norvale::MiscUtilities
