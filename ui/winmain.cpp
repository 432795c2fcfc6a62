#include "winmain.h"

#include "anchors.h"
#include "filelistbox.h"
#include "rundialogs.h"
#include "ui/shell/menubar.h"
#include "ui/shell/miscutilities.h"
#include "windowrun.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace norvale::ui {

namespace {

const QString kGo = QStringLiteral("Go");
const QString kCancel = QStringLiteral("Cancel");

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

QPointer<WinMain> g_winMain;

} // namespace

WinMain::WinMain(QWidget *parent) : QMainWindow(parent), m_run(std::make_unique<WindowRun>(*this))
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

void WinMain::AddMenuHandlers()
{
    MenuBar &bar = MenuBar1();
    bar.AddMenuHandler(this, QStringLiteral("FileNewAttachment"),
                       [this] { _FileNewAttachment_Action(); });
    bar.AddMenuHandler(this, QStringLiteral("FileCloseWindow"),
                       [this] { _filecloseWindow_Action(); });
    bar.AddMenuHandler(this, QStringLiteral("EditSelectAll"), [this] { _EditSelectAll_Action(); });
    bar.AddMenuHandler(this, QStringLiteral("FilePrintPreview"),
                       [this] { _FilePrintPreview_Action(); });
    bar.SetEnableMenuItems(this, [this] { Event_EnableMenuItems(); });
}

void WinMain::Event_EnableMenuItems()
{
    const MenuBar &bar = MenuBar1();
    bar.FileNewAttachment()->setEnabled(true);
    bar.EditSelectAll()->setEnabled(true);
    bar.FileCloseWindow()->setEnabled(true);
    bar.FilePrintPreview()->setEnabled(previewAvailable());
}

// The preview shows what Go would print: something in the list, a printing
// pass ticked, and no run under way.
bool WinMain::previewAvailable() const
{
    return ListBox1->topLevelItemCount() > 0 && options().prints() && !running()
           && cmdSend->text() == kGo;
}

void WinMain::_FileNewAttachment_Action() { NewAttachment(); }

void WinMain::_filecloseWindow_Action() { close(); }

void WinMain::_FilePrintPreview_Action()
{
    if (previewAvailable())
        m_run->preview(rows(), options());
}

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

bool WinMain::running() const { return m_run->running(); }

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
    // The run works on the list as it is now.
    m_run->start(rows(), options());
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
    // A run in progress ends before its next entry, a folder walk at its
    // next entry; the application ends with this window, whatever other
    // window is open.
    cancelled = true;
    m_closing = true;
    QCoreApplication::quit();
}

// A window shown again after it was closed takes files again.
void WinMain::showEvent(QShowEvent *event)
{
    m_closing = false;
    QMainWindow::showEvent(event);
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
