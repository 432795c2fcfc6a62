#pragma once

#include "batch/batch.h"
#include "filelist/filelist.h"
#include "puzzle/puzzle.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace norvale::ui {

class AnchorLayout;
class RunDialogs;

// The main window: the file list, the options, the status line, the
// progress bar and "Go". It reads its controls, hands the list to the batch
// run and shows what the run reports.
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

    // Reads the row at 1-based position p into the record. Returns the file's
    // name, or an empty text (the record untouched) when it is not a
    // readable puzzle.
    QString ParsePuzzle(int p);

    // The option boxes as a run reads them.
    BatchOptions options() const;

    // True from the start of a run until it has returned, also while a
    // cancelled run is still winding down.
    bool running() const { return m_running; }

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
    void keyPressEvent(QKeyEvent *event) override;

private:
    class RunObserver;
    class ListSink;

    void Layout();
    void CreateControls();
    void _CreateControls0();
    void setStatus(const QString &text);
    void runPasses(const QList<FileRow> &list, const BatchOptions &options);

    AnchorLayout *m_layout = nullptr;
    RunDialogs *m_dialogs = nullptr;
    std::unique_ptr<RunDialogs> m_qtDialogs;
    bool m_running = false;
    QElapsedTimer m_walkClock;
};

// The single main window, created (and shown) on first use.
WinMain &winMain();

} // namespace norvale::ui
