#pragma once

// The windows: the main window (with WindowRun, what Go and Print Preview
// do), the help window and the About box. Builds on batch/, print/,
// filelist/, puzzle/ and the shared menu bar of ui/shell/.

#include "batch/batch.h"
#include "filelist/filelist.h"
#include "puzzle/puzzle.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QList>
#include <QMainWindow>
#include <QRgb>
#include <QString>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMimeData;
class QPainter;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace norvale::ui {

class AnchorLayout;
class RunDialogs;
class WindowRun;

// The main window: the file list, the options, the status line, the
// progress bar and "Go". It reads its controls and hands the list to a
// WindowRun, which shows in it what the run reports.
class WinMain : public QMainWindow {
    Q_OBJECT
public:
    // Applies the window's design (Layout), creates its controls
    // (CreateControls) and prepares it (Event_Open). The window is not shown.
    explicit WinMain(QWidget *parent = nullptr);
    ~WinMain() override;

    // The dialogs and message boxes of a run; the toolkit's own unless a
    // replacement is set (not owned; nullptr restores the toolkit's).
    void setDialogs(RunDialogs *dialogs);
    RunDialogs &dialogs();

    // The design size of the content area, and its minimum.
    static constexpr QSize kContentSize{340, 453};
    static constexpr QSize kMinimumContentSize{340, 440};

    // Controls, in creation order.
    QTreeWidget *ListBox1 = nullptr;
    QPushButton *cmdSend = nullptr;
    QLabel *LabStatus = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QMenu *ContextualMenu1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QCheckBox *CheckBox3 = nullptr;
    QCheckBox *CheckBox4 = nullptr;
    QCheckBox *CheckBox5 = nullptr;

    // Working fields.
    int NoOfFiles = 0;
    // False while a run is under way; done() sets it.
    bool cancelled = true;
    // Where conversions write; empty while none has been chosen.
    QString destination;
    // The printer settings, kept from run to run once a run has printed.
    std::unique_ptr<QPrinter> ps;
    // The puzzle that was read last.
    Puzzle record;

    // The file list's rows, top to bottom.
    QList<FileRow> rows() const;
    void AddRow(const FileRow &row);
    // Adds a file, or every file of a folder, as a drop does.
    void ReadFolderItem(const QFileInfo &item);
    // Shows the row count in the list's heading.
    void updatefilecount();

    // The file chooser of "Add File...", through dialogs(): files or a
    // folder, or none when the user cancelled.
    QList<QFileInfo> ShowFolderDialog();
    // "Add File...": adds what the chooser gives.
    void NewAttachment();
    // Removes the selected rows with the busy cursor; then, when
    // selectAfter is set and rows remain, selects the row now at the lowest
    // removed position (the last row when that is past the end). With no
    // selection it only says "Please select item(s) first".
    void DeleteItem(bool selectAfter);

    // Drops on the window and on the list: every dragged local file or
    // folder is added, up to the first item that is none.
    void Event_DropObject(const QMimeData *items);
    void ListBox1_DropObject(const QMimeData *items, Qt::DropAction action);
    // Backspace and Delete remove the selected rows. True when handled.
    bool ListBox1_KeyDown(int key);
    // The Menu key or Shift+F10 on the list: the context menu opens for the
    // selected rows, by the first of them.
    void ListBox1_ContextKey();
    // A press on a cell (row, column, position in the list's viewport). A
    // contextual click fixes the selection and opens the context menu;
    // true when handled.
    bool ListBox1_CellClick(int row, int column, QPoint at, bool contextual);
    // Stripes the even rows. The list paints the selection and the text
    // over it.
    void ListBox1_CellBackgroundPaint(QPainter &g, const QRect &cell, int row, int column);
    void ListBox1_Change();
    void ListBox1_Open();
    void ContextualMenu1_Open();
    // Runs the context menu's command of that text.
    void ContextualMenu1_Action(const QString &item);

    // The stripe colour of the even rows.
    static constexpr QRgb kStripe = 0xFFEDF3FE;

    // The menu commands this window takes while it is in front.
    void AddMenuHandlers();
    void Event_EnableMenuItems();
    void _FileNewAttachment_Action();
    void _filecloseWindow_Action();
    void _EditSelectAll_Action();
    void _FilePrintPreview_Action();
    // Whether File > Print Preview... has something to show now.
    bool previewAvailable() const;

    // The run that Go starts and the preview uses.
    WindowRun &run() { return *m_run; }

    // Reads the row at 1-based position p into the record. Returns the file's
    // name, or an empty text (the record untouched) when it is not a
    // readable puzzle.
    QString ParsePuzzle(int p);

    // The option boxes as a run reads them.
    BatchOptions options() const;

    // True from the start of a run until it has returned, also while a
    // cancelled run is still winding down.
    bool running() const;

    // Sets the status line and repaints it at once.
    void setStatus(const QString &text);

public Q_SLOTS:
    void cmdSend_Action();
    void CheckBox1_Action();
    void CheckBox3_Action();
    void CheckBox4_Action();

    void SetGUI();
    void EnableGUI();
    void DisableGUI();
    void busy();
    void done();

    void Event_Open();
    void Event_Close();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class ListSink;

    void Layout();
    void CreateControls();
    void _CreateControls0();

    AnchorLayout *m_layout = nullptr;
    RunDialogs *m_dialogs = nullptr;
    std::unique_ptr<RunDialogs> m_qtDialogs;
    std::unique_ptr<WindowRun> m_run;
    QElapsedTimer m_walkClock;
    // Set once the window is closing: a folder walk under way ends.
    bool m_closing = false;
};

// The single main window, created (and shown) on first use.
WinMain &winMain();
// The main window when there is one, without creating it.
WinMain *openWinMain();

} // namespace norvale::ui
