#include "rundialogs.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace norvale::ui {

QString QtRunDialogs::chooseFolder(QWidget *parent, const QString &prompt, const QString &title,
                                   const QString &action, const QString &start)
{
    QFileDialog dialog(parent, title, start.isEmpty() ? QDir::homePath() : start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own dialog, because a desktop's native one has no place for the
    // prompt.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    dialog.setLabelText(QFileDialog::Accept, action);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

namespace {

// A file chooser that takes a folder too: "Select" with a folder selected
// chooses the folder; a double click, or a typed path that ends in a
// separator, opens it.
class FileOrFolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    QLineEdit *nameField() const { return findChild<QLineEdit *>(QStringLiteral("fileNameEdit")); }

    void accept() override
    {
        const QLineEdit *typed = nameField();
        if (typed && (typed->text().endsWith(u'/') || typed->text().endsWith(QDir::separator()))) {
            QFileDialog::accept();
            return;
        }
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && QFileInfo(chosen.constFirst()).isDir())
            QDialog::accept();
        else
            QFileDialog::accept();
    }
};

} // namespace

QStringList puzzleFileFilters()
{
    return {QStringLiteral("Puzzles (*.puz *.ipuz *.jpz)"), QStringLiteral("All Files (*)")};
}

QStringList QtRunDialogs::chooseItems(QWidget *parent, const QString &prompt,
                                      const QString &title, const QString &action)
{
    FileOrFolderDialog dialog(parent, title, QDir::homePath());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(puzzleFileFilters());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    dialog.setLabelText(QFileDialog::Accept, action);
    // Qt names the button "Open" while a folder is selected; here it
    // selects the folder, so it keeps its own name.
    if (auto *buttons = dialog.findChild<QDialogButtonBox *>()) {
        auto keepName = [buttons, action] {
            if (QPushButton *accept = buttons->button(QDialogButtonBox::Open))
                accept->setText(action);
        };
        QObject::connect(&dialog, &QFileDialog::currentChanged, buttons, keepName,
                         Qt::QueuedConnection);
        if (QLineEdit *typed = dialog.nameField())
            QObject::connect(typed, &QLineEdit::textChanged, buttons, keepName,
                             Qt::QueuedConnection);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

bool QtRunDialogs::pageSetup(QWidget *parent, QPrinter &printer)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtRunDialogs::print(QPrinter &printer)
{
    QPrintDialog dialog(&printer, nullptr);
    return dialog.exec() == QDialog::Accepted;
}

void QtRunDialogs::message(QWidget *parent, const QString &text, const QString &detail)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Norvale"));
    // The fixed texts tell the user what to do; a detail says what failed.
    box.setIcon(detail.isEmpty() ? QMessageBox::Information : QMessageBox::Warning);
    box.setText(text);
    // What failed is shown at once, under the main text.
    box.setInformativeText(detail);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace norvale::ui
