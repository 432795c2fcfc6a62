// Filling the window's list from a large folder: a tree of N entries (files
// in subfolders, with hidden files and empty folders among them) dropped on
// the main window. Reports the time until the list is complete and the
// window answers again, and checks the heading.
//   filelist_bench [N]   (default 20000)

#include "filelist/filetypes.h"
#include "ui/winmain.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int n = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
    norvale::FileTypes::_InitFileTypes();

    QTemporaryDir tree;
    int files = 0;
    for (int i = 0; i < n; ++i) {
        const QString folder = QStringLiteral("f%1/g%2").arg(i / 1000).arg(i / 100 % 10);
        QDir(tree.path()).mkpath(folder);
        // One entry in 50 is a hidden file, which the list leaves out.
        const bool hidden = i % 50 == 49;
        QFile f(QStringLiteral("%1/%2/%3p%4.puz").arg(tree.path(), folder, hidden ? QStringLiteral(".") : QString()).arg(i));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        files += hidden ? 0 : 1;
    }

    norvale::ui::WinMain &window = norvale::ui::winMain();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    window.ReadFolderItem(QFileInfo(tree.path()));
    const qint64 listed = timer.elapsed();
    // The window answers again once a queued event gets through.
    bool answered = false;
    QTimer::singleShot(0, [&answered] { answered = true; });
    while (!answered)
        QApplication::processEvents();
    const qint64 responsive = timer.elapsed();

    const QString heading = window.ListBox1->headerItem()->text(0);
    std::printf("%d entries (%d listable): list complete after %lld ms, window answering after %lld ms; "
                "heading \"%s\" (%s)\n",
                n, files, static_cast<long long>(listed), static_cast<long long>(responsive),
                qPrintable(heading), heading == QStringLiteral("%1 Files").arg(files) ? "correct" : "WRONG");
    delete &window;
    return heading == QStringLiteral("%1 Files").arg(files) ? 0 : 1;
}
