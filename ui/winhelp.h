#pragma once

#include <QMainWindow>
#include <QSize>
#include <QString>

class QTextEdit;

namespace norvale::ui {

// The help window: the shared menu bar, and below it the help page in one
// read-only text field that fills the rest of the window, its mark-up
// rendered once when the window is created. The sizes are those of the
// content area below the bar.
class WinHelp : public QMainWindow {
    Q_OBJECT
public:
    // Applies the window's design (Layout), creates the text field
    // (CreateControls) and renders it (EditField1_Open). Not shown yet.
    explicit WinHelp(QWidget *parent = nullptr);

    static constexpr QSize kContentSize{400, 400};
    static constexpr QSize kMinimumSize{64, 64};

    QTextEdit *EditField1 = nullptr;

    // The help page with its mark-up: 25 lines, each but the last ended by a
    // carriage return.
    static QString helpText();

public Q_SLOTS:
    // Renders the field's own text in place: tags, then entities, then the
    // page is shown from its first line with nothing selected.
    void EditField1_Open();

private:
    void Layout();
    void CreateControls();
};

// The single help window: created (and rendered) on first use, shown and
// brought to the front on every use. Closing it destroys it.
WinHelp &winHelp();

// A read-only field for styled text, as the help window and the About box
// use it: a border, a vertical scroll bar only, black on white, the system
// font at 12 points; the tab key moves the focus.
QTextEdit *newStyledTextField(QWidget *parent, const QString &name);

// Renders the mark-up of the field's text in place (entities too when asked),
// then scrolls to the first line and leaves nothing selected.
void renderFieldMarkup(QTextEdit &field, bool resolveEntities);

} // namespace norvale::ui
