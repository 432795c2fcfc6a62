#pragma once

#include "ui/rundialogs.h"

#include <QPrinter>
#include <QString>
#include <QStringList>

#include <functional>

namespace norvale::test {

// Stands in for the window's dialogs: answers them as told and records what
// was shown.
class FakeDialogs : public ui::RunDialogs {
public:
    struct Message {
        QString text;
        QString detail;
    };

    // The dialog ("folder", "pagesetup" or "print") that the user cancels.
    QString cancel;
    // The folder the chooser returns.
    QString folder;
    // The PDF file the print dialog chooses.
    QString pdf;
    // The file or folder the "Add File..." chooser returns (empty: cancelled),
    // and any further files chosen with it.
    QString item;
    QStringList moreItems;

    QStringList calls;
    QStringList folderTexts; // prompt, title, action button, starting folder
    QStringList itemTexts;   // prompt, title, action button
    int resolutionAtPageSetup = 0;
    QList<Message> messages;

    QString chooseFolder(QWidget *, const QString &prompt, const QString &title,
                         const QString &action, const QString &start) override
    {
        calls.append(QStringLiteral("folder"));
        folderTexts = {prompt, title, action, start};
        return cancel == u"folder" ? QString() : folder;
    }

    QStringList chooseItems(QWidget *, const QString &prompt, const QString &title,
                            const QString &action) override
    {
        calls.append(QStringLiteral("item"));
        itemTexts = {prompt, title, action};
        return item.isEmpty() ? QStringList() : QStringList{item} + moreItems;
    }

    bool pageSetup(QWidget *, QPrinter &printer) override
    {
        calls.append(QStringLiteral("pagesetup"));
        resolutionAtPageSetup = printer.resolution();
        return cancel != u"pagesetup";
    }

    bool print(QPrinter &printer) override
    {
        calls.append(QStringLiteral("print"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return cancel != u"print";
    }

    void message(QWidget *, const QString &text, const QString &detail) override
    {
        calls.append(QStringLiteral("message"));
        messages.append({text, detail});
    }
};

} // namespace norvale::test
