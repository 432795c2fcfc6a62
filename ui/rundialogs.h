#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace norvale::ui {

// The dialogs and message boxes that the main window shows, behind one
// interface so that a whole run can be driven without a person.
class RunDialogs {
public:
    virtual ~RunDialogs() = default;

    // A folder chooser starting at start (none when empty). Returns the
    // chosen folder, or an empty text when the user cancelled.
    virtual QString chooseFolder(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &action, const QString &start) = 0;
    // A chooser of files (one or several) or of one folder, starting in the
    // home folder and showing puzzles first. Returns their paths, or none
    // when the user cancelled.
    virtual QStringList chooseItems(QWidget *parent, const QString &prompt, const QString &title,
                                    const QString &action) = 0;
    // The page setup dialog on the printer settings; true when confirmed.
    virtual bool pageSetup(QWidget *parent, QPrinter &printer) = 0;
    // The print dialog on the printer settings; true when confirmed.
    virtual bool print(QPrinter &printer) = 0;
    // A modal message box titled "Norvale" with one text and, when not
    // empty, a detail text (what failed) under it: a note to the user
    // without a detail, a warning with one.
    virtual void message(QWidget *parent, const QString &text, const QString &detail = {}) = 0;
};

// The file types "Add File..." offers, puzzles first.
QStringList puzzleFileFilters();

// The toolkit's own dialogs.
class QtRunDialogs : public RunDialogs {
public:
    QString chooseFolder(QWidget *parent, const QString &prompt, const QString &title,
                         const QString &action, const QString &start) override;
    QStringList chooseItems(QWidget *parent, const QString &prompt, const QString &title,
                            const QString &action) override;
    bool pageSetup(QWidget *parent, QPrinter &printer) override;
    bool print(QPrinter &printer) override;
    void message(QWidget *parent, const QString &text, const QString &detail = {}) override;
};

} // namespace norvale::ui
