#include "winmain.h"

#include "anchors.h"
#include "app/menubar.h"
#include "app/miscutilities.h"
#include "print/paintersurface.h"
#include "rundialogs.h"

#include "norvale_version.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace norvale::ui {

namespace {

const QString kGo = QStringLiteral("Go");
const QString kCancel = QStringLiteral("Cancel");
// How often a folder walk lets the window handle its events.
constexpr qint64 kWalkRepaintMs = 20;

// The platform's small control font; where the platform has none, the
// control font scaled as small control text is to the regular one (11 to 13).
QFont smallSystemFont()
{
    const QFont regular = QApplication::font();
    QFont small = QApplication::font("QSmallFont");
    if (small.pointSizeF() <= 0 || small.pointSizeF() >= regular.pointSizeF())
        small.setPointSizeF(std::max(7.0, regular.pointSizeF() * 11.0 / 13.0));
    return small;
}

// The status line. A text wider than the line is shown with its middle
// left out, so that the start and the end of a long file name stay readable;
// text() keeps the whole text.
class StatusLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                              foregroundRole());
    }
};

// Where the options group stands in the design.
constexpr QRect kGroupDesign(20, 212, 300, 164);

QCheckBox *makeCheckBox(QGroupBox *group, const char *name, const QString &text, QRect design)
{
    auto *box = new QCheckBox(text, group);
    box->setObjectName(QString::fromLatin1(name));
    // The design places the boxes in window coordinates; inside the group
    // they keep the same offsets from the group's corner, so they move with it.
    box->setGeometry(design.translated(-kGroupDesign.topLeft()));
    return box;
}

// How a failed print job names its output: the PDF file, or the printer.
QString printTarget(const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    return QStringLiteral("the printer %1").arg(printer.printerName());
}

// The print job of one run: the surface every page goes onto, and its page.
struct PrintJob {
    std::unique_ptr<QPainterSurface> surface;
    PageSetup page;
};

std::optional<QString> openPrintJob(QPrinter &printer, PrintJob &job)
{
    job.page = printerPageSetup(printer);
    job.surface = std::make_unique<QPainterSurface>(&printer);
    if (job.surface->isActive())
        return std::nullopt;
    job.surface.reset();
    return QStringLiteral("%1: the print job could not be started").arg(printTarget(printer));
}

// Drops a job whose pages are not to be printed: nothing reaches the print
// service, and a PDF file begun for it is removed.
void abandonPrintJob(QPrinter &printer, PrintJob &job)
{
    printer.abort();
    job.surface->finish();
    job.surface.reset();
    const QString pdf = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                      : QString();
    if (!pdf.isEmpty() && QFileInfo(pdf).isFile())
        QFile::remove(pdf);
}

// Ends the job; the pages are written or handed to the print service only
// now. A PDF file that did not come out whole (a full disk) is a failure,
// and the broken file is not left behind.
std::optional<QString> finishPrintJob(QPrinter &printer, PrintJob &job)
{
    if (!job.surface)
        return std::nullopt;
    const bool finished = job.surface->finish();
    job.surface.reset();
    if (finished && printJobDelivered(printer))
        return std::nullopt;
    const QString pdf = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                      : QString();
    if (pdf.isEmpty())
        return QStringLiteral("%1: the print job could not be finished").arg(printTarget(printer));
    if (QFileInfo(pdf).isFile())
        QFile::remove(pdf);
    return QStringLiteral("cannot write %1: the PDF file could not be completed (is the disk full?)")
        .arg(QDir::toNativeSeparators(pdf));
}

// Takes a drag of files as a copy: Norvale only lists them, and a source
// told they were moved might remove them.
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

// The file list: files and folders dragged in from outside, the keys and
// the presses on cells go to the window's handlers. Rows dragged within the
// list are moved by the list itself, whole, hidden columns included.
class FileListBox : public QTreeWidget {
public:
    FileListBox(WinMain &window, QWidget *parent) : QTreeWidget(parent), m_window(window) {}

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (event->source() == this)
            QTreeWidget::dragEnterEvent(event);
        else if (!acceptFileDrag(event))
            event->ignore();
    }
    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (event->source() == this)
            QTreeWidget::dragMoveEvent(event);
        else if (!acceptFileDrag(event))
            event->ignore();
    }
    void dropEvent(QDropEvent *event) override
    {
        if (event->source() == this) {
            // The list takes the moved rows out and puts them back; they
            // stay selected.
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
    void keyPressEvent(QKeyEvent *event) override
    {
        if (m_window.ListBox1_KeyDown(event->key()))
            event->accept();
        else
            QTreeWidget::keyPressEvent(event);
    }
    void mousePressEvent(QMouseEvent *event) override
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

private:
    WinMain &m_window;
};

// Lets the window paint each cell's background before the list draws the
// selection and the text.
class CellBackgroundDelegate : public QStyledItemDelegate {
public:
    CellBackgroundDelegate(WinMain &window, QObject *parent)
        : QStyledItemDelegate(parent), m_window(&window)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        m_window->ListBox1_CellBackgroundPaint(*painter, option.rect, index.row(), index.column());
        painter->restore();
        QStyledItemDelegate::paint(painter, option, index);
    }

private:
    WinMain *m_window;
};

// The rows with a selected cell, top to bottom.
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

QPointer<WinMain> g_winMain;

} // namespace

bool carriesFileItems(const QMimeData *items)
{
    if (!items || !items->hasUrls())
        return false;
    const QList<QUrl> urls = items->urls();
    return !urls.isEmpty() && urls.constFirst().isLocalFile();
}

// What the batch run reports, shown in the window as it happens.
class WinMain::RunObserver : public BatchObserver {
public:
    explicit RunObserver(WinMain &window) : m_window(window) {}

    void status(const QString &text) override { m_window.setStatus(text); }
    void progress(int value, int maximum) override
    {
        QProgressBar *bar = m_window.ProgressBar1;
        bar->setMaximum(maximum);
        bar->setValue(value);
        bar->repaint();
    }
    // Lets the window handle a press of "Cancel" once per list position.
    void yield() override { QCoreApplication::processEvents(); }
    bool cancelled() override { return m_window.cancelled; }

private:
    WinMain &m_window;
};

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

private:
    WinMain &m_window;
};

WinMain::WinMain(QWidget *parent) : QMainWindow(parent)
{
    Layout();
    CreateControls();
    AddMenuHandlers();
    Event_Open();
}

WinMain::~WinMain()
{
    // The list's model announces a reset while the list is destroyed, after
    // this window's own part is gone: its handlers must not be reached then.
    if (ListBox1) {
        ListBox1->model()->disconnect(this);
        ListBox1->selectionModel()->disconnect(this);
        ListBox1->disconnect(this);
    }
}

void WinMain::setDialogs(RunDialogs *dialogs) { m_dialogs = dialogs; }

RunDialogs &WinMain::dialogs()
{
    if (m_dialogs)
        return *m_dialogs;
    if (!m_qtDialogs)
        m_qtDialogs = std::make_unique<QtRunDialogs>();
    return *m_qtDialogs;
}

void WinMain::Layout()
{
    setObjectName(QStringLiteral("winMain"));
    setWindowTitle(QStringLiteral("Norvale"));
    setMenuBar(MenuBar1().createMenuBarWidget(this));
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    m_layout = new AnchorLayout(kContentSize, kMinimumContentSize, content);
    setCentralWidget(content);
    setMaximumSize(32000, 32000);
}

void WinMain::CreateControls() { _CreateControls0(); }

void WinMain::_CreateControls0()
{
    QWidget *content = centralWidget();
    constexpr Qt::Edges kAll = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    constexpr Qt::Edges kAcrossBottom = Qt::LeftEdge | Qt::RightEdge | Qt::BottomEdge;

    ListBox1 = new FileListBox(*this, content);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    m_layout->addWidget(ListBox1, QRect(-1, -1, 342, 200), kAll);
    {
        QFont font = ListBox1->font();
        font.setPointSize(11);
        ListBox1->setFont(font);
    }
    // Three columns: the shown name, then the name part and the folder part
    // of the path, which only carry data.
    ListBox1->setColumnCount(3);
    ListBox1->setHeaderLabels({fileCountHeading(0), QString(), QString()});
    ListBox1->setColumnHidden(1, true);
    ListBox1->setColumnHidden(2, true);
    QHeaderView *header = ListBox1->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    ListBox1->setRootIsDecorated(false);
    ListBox1->setItemsExpandable(false);
    ListBox1->setUniformRowHeights(true);
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Rows are reordered by dragging; a row is never dropped into another.
    ListBox1->setDragEnabled(true);
    ListBox1->setDragDropMode(QAbstractItemView::InternalMove);
    ListBox1->setDefaultDropAction(Qt::MoveAction);
    ListBox1->setDropIndicatorShown(true);
    ListBox1->setItemDelegate(new CellBackgroundDelegate(*this, ListBox1));
    // The contextual click opens the list's own menu and nothing else.
    ListBox1->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(ListBox1, &QTreeWidget::itemSelectionChanged, this, &WinMain::ListBox1_Change);
    // Rows that come and go change the count before the selection reports
    // its change (a removed selected row) or without one (a cleared list).
    const QAbstractItemModel *rowModel = ListBox1->model();
    connect(rowModel, &QAbstractItemModel::rowsInserted, this, &WinMain::updatefilecount);
    connect(rowModel, &QAbstractItemModel::rowsRemoved, this, &WinMain::updatefilecount);
    connect(rowModel, &QAbstractItemModel::modelReset, this, &WinMain::updatefilecount);
    ListBox1_Open();

    cmdSend = new QPushButton(kGo, content);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    m_layout->addWidget(cmdSend, QRect(251, 410, 69, 20), Qt::RightEdge | Qt::BottomEdge);
    cmdSend->setDefault(true);
    connect(cmdSend, &QPushButton::clicked, this, &WinMain::cmdSend_Action);

    LabStatus = new StatusLabel(QStringLiteral("status"), content);
    LabStatus->setObjectName(QStringLiteral("LabStatus"));
    m_layout->addWidget(LabStatus, QRect(20, 392, 219, 20), kAcrossBottom);
    {
        QFont font = smallSystemFont();
        font.setItalic(true);
        LabStatus->setFont(font);
        QPalette palette = LabStatus->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        LabStatus->setPalette(palette);
    }
    LabStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabStatus->setWordWrap(false);
    LabStatus->setTextFormat(Qt::PlainText);

    ProgressBar1 = new QProgressBar(content);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    m_layout->addWidget(ProgressBar1, QRect(20, 412, 219, 18), kAcrossBottom);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    // The list's context menu; its items are added when it opens.
    ContextualMenu1 = new QMenu(this);
    ContextualMenu1->setObjectName(QStringLiteral("ContextualMenu1"));
    connect(ContextualMenu1, &QMenu::triggered, this,
            [this](QAction *item) { ContextualMenu1_Action(item->text()); });
    ContextualMenu1_Open();

    GroupBox1 = new QGroupBox(QStringLiteral("Options"), content);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    m_layout->addWidget(GroupBox1, kGroupDesign, kAcrossBottom);

    CheckBox2 = makeCheckBox(GroupBox1, "CheckBox2", QStringLiteral("Grid at bottom of Page"),
                             QRect(57, 267, 250, 20));
    CheckBox1 = makeCheckBox(GroupBox1, "CheckBox1", QStringLiteral("Print Puzzles"),
                             QRect(36, 242, 200, 20));
    CheckBox1->setChecked(true);
    connect(CheckBox1, &QCheckBox::toggled, this, &WinMain::CheckBox1_Action);
    CheckBox3 = makeCheckBox(GroupBox1, "CheckBox3", QStringLiteral("Print Solutions"),
                             QRect(36, 292, 200, 20));
    connect(CheckBox3, &QCheckBox::toggled, this, &WinMain::CheckBox3_Action);
    CheckBox4 = makeCheckBox(GroupBox1, "CheckBox4", QStringLiteral("Convert to CrossBow Format"),
                             QRect(36, 317, 250, 20));
    connect(CheckBox4, &QCheckBox::toggled, this, &WinMain::CheckBox4_Action);
    CheckBox5 = makeCheckBox(GroupBox1, "CheckBox5", QStringLiteral("Generate Solutions"),
                             QRect(57, 342, 200, 20));

    // Keyboard focus goes down the window as the controls read, not in the
    // order they were made.
    setTabOrder(ListBox1, CheckBox1);
    setTabOrder(CheckBox1, CheckBox2);
    setTabOrder(CheckBox2, CheckBox3);
    setTabOrder(CheckBox3, CheckBox4);
    setTabOrder(CheckBox4, CheckBox5);
    setTabOrder(CheckBox5, cmdSend);

    // Open with the content area at its design size, below a menu bar that
    // sits inside the window.
    resize(layout()->totalSizeHint());
}

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
    ListSink sink(*this);
    norvale::ReadFolderItem(item, sink);
}

void WinMain::updatefilecount()
{
    ListBox1->headerItem()->setText(0, fileCountHeading(ListBox1->topLevelItemCount()));
}

QFileInfo WinMain::ShowFolderDialog()
{
    const QString chosen =
        dialogs().chooseItem(this, QStringLiteral("Select a File to attach"),
                             QStringLiteral("Select File"), QStringLiteral("Select"));
    return chosen.isEmpty() ? QFileInfo() : QFileInfo(chosen);
}

void WinMain::NewAttachment()
{
    const QFileInfo item = ShowFolderDialog();
    if (!item.filePath().isEmpty())
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

void WinMain::AddMenuHandlers()
{
    MenuBar &bar = MenuBar1();
    bar.AddMenuHandler(this, QStringLiteral("FileNewAttachment"),
                       [this] { _FileNewAttachment_Action(); });
    bar.AddMenuHandler(this, QStringLiteral("FileCloseWindow"),
                       [this] { _filecloseWindow_Action(); });
    bar.AddMenuHandler(this, QStringLiteral("EditSelectAll"), [this] { _EditSelectAll_Action(); });
    bar.SetEnableMenuItems(this, [this] { Event_EnableMenuItems(); });
}

void WinMain::Event_EnableMenuItems()
{
    const MenuBar &bar = MenuBar1();
    bar.FileNewAttachment()->setEnabled(true);
    bar.EditSelectAll()->setEnabled(true);
    bar.FileCloseWindow()->setEnabled(true);
}

void WinMain::_FileNewAttachment_Action() { NewAttachment(); }

void WinMain::_filecloseWindow_Action() { close(); }

void WinMain::_EditSelectAll_Action() { MiscUtilities::SelectAll(ListBox1); }

QString WinMain::ParsePuzzle(int p) { return norvale::ParsePuzzle(rows(), p, record); }

BatchOptions WinMain::options() const
{
    BatchOptions o;
    o.printPuzzles = CheckBox1->isChecked();
    o.gridAtBottom = CheckBox2->isChecked();
    o.printSolutions = CheckBox3->isChecked();
    o.convert = CheckBox4->isChecked();
    o.generateSolutions = CheckBox5->isChecked();
    return o;
}

void WinMain::setStatus(const QString &text)
{
    LabStatus->setText(text);
    LabStatus->repaint();
}

void WinMain::cmdSend_Action()
{
    NoOfFiles = ListBox1->topLevelItemCount();
    if (NoOfFiles <= 0) {
        dialogs().message(this, QStringLiteral("No Files in List"));
        return;
    }
    if (cmdSend->text() != kGo) {
        done();
        return;
    }
    // After "Cancel" the button reads "Go" at once, but the cancelled run
    // still holds the record and the print job until it has returned from
    // the position it was at. A press in that moment starts nothing.
    if (m_running)
        return;
    struct Running {
        bool &flag;
        explicit Running(bool &f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } guard(m_running);
    // The run works on the list as it is now.
    runPasses(rows(), options());
}

void WinMain::runPasses(const QList<FileRow> &list, const BatchOptions &chosen)
{
    busy();
    ProgressBar1->setMaximum(0);
    setStatus(QStringLiteral("Waiting for user input..."));

    if (chosen.convert) {
        destination = dialogs().chooseFolder(this, QStringLiteral("Select the Destination Folder"),
                                             QStringLiteral("Convert to CrossBow Format"),
                                             QStringLiteral("Select"), destination);
        if (destination.isEmpty()) {
            done();
            return;
        }
    }

    PrintJob job;
    std::optional<QString> failure;
    RunObserver observer(*this);
    if (chosen.prints()) {
        if (!ps)
            ps = std::make_unique<QPrinter>(QPrinter::HighResolution);
        ps->setResolution(kPrintResolution);
        if (!dialogs().pageSetup(this, *ps) || !dialogs().print(*ps)) {
            done();
            return;
        }
        // The job is named for what it will hold; with no readable puzzle
        // in the list it is not started, so no empty page comes out.
        const PrintJobContents contents = surveyPrintJob(list, observer);
        if (contents.cancelled || contents.puzzles == 0) {
            done();
            return;
        }
        ps->setDocName(contents.documentTitle());
        ps->setCreator(QStringLiteral("Norvale %1").arg(QString::fromLatin1(version::Text)));
        failure = openPrintJob(*ps, job);
    }

    bool printedNothing = false;
    if (!failure) {
        BatchRun run(list, chosen, record, observer);
        run.setDestination(destination);
        if (job.surface)
            run.setPrintTarget(job.surface.get(), job.page);
        const BatchResult result = run.run();
        failure = result.failure;
        printedNothing = result.printed == 0;
    }
    if (job.surface && printedNothing) {
        // Nothing of a job without pages is sent.
        abandonPrintJob(*ps, job);
    } else if (job.surface) {
        const std::optional<QString> ended = finishPrintJob(*ps, job);
        if (!failure)
            failure = ended;
    }

    // A failure stops the run, but the window and its list stay.
    if (failure)
        dialogs().message(this, QStringLiteral("An unhandled Exeption has occured"), *failure);
    done();
}

void WinMain::CheckBox1_Action() { SetGUI(); }
void WinMain::CheckBox3_Action() { SetGUI(); }
void WinMain::CheckBox4_Action() { SetGUI(); }

void WinMain::SetGUI()
{
    CheckBox2->setEnabled(CheckBox1->isChecked());
    CheckBox5->setEnabled(CheckBox4->isChecked());
    cmdSend->setEnabled(CheckBox1->isChecked() || CheckBox3->isChecked() || CheckBox4->isChecked());
}

// Disabling the group disables the boxes in it; each box keeps the enabled
// state SetGUI gave it for when the group is enabled again.
void WinMain::EnableGUI()
{
    ListBox1->setEnabled(true);
    GroupBox1->setEnabled(true);
}

void WinMain::DisableGUI()
{
    ListBox1->setEnabled(false);
    GroupBox1->setEnabled(false);
}

void WinMain::busy()
{
    DisableGUI();
    cmdSend->setText(kCancel);
    cancelled = false;
    ProgressBar1->setMaximum(0);
    repaint();
}

void WinMain::done()
{
    EnableGUI();
    updatefilecount();
    cancelled = true;
    setStatus(QStringLiteral("done"));
    ProgressBar1->setValue(0);
    ProgressBar1->setMaximum(1);
    cmdSend->setText(kGo);
}

void WinMain::Event_Open()
{
    setStatus(QStringLiteral("idle"));
    setAcceptDrops(true);
    SetGUI();
}

void WinMain::Event_Close()
{
    // A run in progress ends before its next entry; the application ends
    // with this window, whatever other window is open.
    cancelled = true;
    QCoreApplication::quit();
}

void WinMain::closeEvent(QCloseEvent *event)
{
    Event_Close();
    event->accept();
}

void WinMain::keyPressEvent(QKeyEvent *event)
{
    // Return and Enter press the default button, as in a dialog, when the
    // control with the focus has no use for them.
    const bool enterKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (enterKey && mods == Qt::NoModifier) {
        if (cmdSend->isEnabled() && cmdSend->isVisible())
            cmdSend->animateClick();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void WinMain::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptFileDrag(event))
        event->ignore();
}

void WinMain::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptFileDrag(event))
        event->ignore();
}

void WinMain::dropEvent(QDropEvent *event)
{
    if (acceptFileDrag(event))
        Event_DropObject(event->mimeData());
    else
        event->ignore();
}

WinMain &winMain()
{
    if (!g_winMain) {
        g_winMain = new WinMain;
        g_winMain->show();
    }
    return *g_winMain;
}

WinMain *openWinMain() { return g_winMain; }

} // namespace norvale::ui
