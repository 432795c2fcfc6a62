#include "winhelp.h"

#include "anchors.h"
#include "markup.h"
#include "ui/shell/menubar.h"

#include <QApplication>
#include <QLayout>
#include <QPointer>
#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>
#include <QTextEdit>

namespace norvale::ui {

QTextEdit *newStyledTextField(QWidget *parent, const QString &name)
{
    auto *field = new QTextEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setAcceptRichText(false);
    field->setTabChangesFocus(true);
    field->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    field->setLineWrapMode(QTextEdit::WidgetWidth);
    // A little air between the border and the text.
    field->document()->setDocumentMargin(6);
    field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    field->setPalette(colours);
    QFont font = QApplication::font();
    font.setPointSize(12);
    font.setBold(false);
    font.setItalic(false);
    field->setFont(font);
    return field;
}

void renderFieldMarkup(QTextEdit &field, bool resolveEntities)
{
    renderMarkup(*field.document(), resolveEntities);
    field.setTextCursor(QTextCursor(field.document()));
    field.verticalScrollBar()->setValue(0);
}

WinHelp::WinHelp(QWidget *parent) : QMainWindow(parent)
{
    Layout();
    CreateControls();
    EditField1_Open();
}

void WinHelp::Layout()
{
    setObjectName(QStringLiteral("winHelp"));
    setWindowTitle(QStringLiteral("Help"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setMenuBar(MenuBar1().createMenuBarWidget(this));
    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    setCentralWidget(content);
    // The content area's layout gives the window its minimum below the bar.
    setMaximumSize(32000, 32000);
}

void WinHelp::CreateControls()
{
    QWidget *content = centralWidget();
    auto *layout = new AnchorLayout(kContentSize, kMinimumSize, content);
    EditField1 = newStyledTextField(content, QStringLiteral("EditField1"));
    // The field's border lies just outside the content area on every side.
    layout->addWidget(EditField1, QRect(-2, -2, 402, 402),
                      Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    EditField1->setPlainText(helpText());
    // Open with the content area at its design size below the bar.
    resize(this->layout()->totalSizeHint());
}

void WinHelp::EditField1_Open()
{
    renderFieldMarkup(*EditField1, true);
}

QString WinHelp::helpText()
{
    const QStringList lines = {
        QStringLiteral("<font size=\"14\"><b>Norvale - Help</b></font>"),
        QString(),
        QStringLiteral("<i>Norvale</i> batch prints crossword puzzles in AcrossLite format "
                       "(https://www.litsoft.com/) on paper so that they can be solved with "
                       "pencil or pen. It also converts puzzles to CrossBow "
                       "(http://www.crossbow.org/) format for Palm Handhelds."),
        QString(),
        QString(),
        QStringLiteral("<b>Printing and Converting Puzzles</b>"),
        QStringLiteral("Drag puzzle files or folders containing puzzle files into the file list "
                       "in the upper part of the application window. The files will appear in "
                       "the list. The list contents can be sorted and edited via the options "
                       "available in the context menu (right-click on the list). It is also "
                       "possible to reorder list items by dragging them up or down."),
        QStringLiteral("Use the checkboxes to select your options and press \"Go\"."),
        QString(),
        QStringLiteral("The following options are available for printing and converting:"),
        QString(),
        QStringLiteral("<i>Print Puzzles</i>"),
        QStringLiteral("Prints the crosswords, one crossword per page. The grid is printed on "
                       "top and the clues are printed at the bottom of the page."),
        QString(),
        QStringLiteral("<i>Grid at bottom of Page</i>"),
        QStringLiteral("Some people prefer the clues to be printed on top and the grid to be "
                       "printed at the bottom. Checking this box will print the puzzles in "
                       "that format."),
        QString(),
        QStringLiteral("<i>Print Solutions</i>"),
        QStringLiteral("When checked, prints the solution to the crosswords, 6 solutions per "
                       "page."),
        QString(),
        QStringLiteral("<i>Convert to CrossBow Format</i>"),
        QStringLiteral("When checked, converts the puzzles to CrossBow Format. When this option "
                       "is selected, a dialog to select a destination folder for the CrossBow "
                       "formatted puzzles will appear after pressing \"Go\"."),
        QString(),
        QStringLiteral("<i>Generate Solutions</i>"),
        QStringLiteral("When checked, generates solutions in plain text format, which can be "
                       "transferred to a Palm handheld to be read in Palm's Notepad."),
    };
    return lines.join(u'\r');
}

WinHelp &winHelp()
{
    static QPointer<WinHelp> window;
    if (!window)
        window = new WinHelp;
    window->show();
    window->raise();
    window->activateWindow();
    return *window;
}

} // namespace norvale::ui
