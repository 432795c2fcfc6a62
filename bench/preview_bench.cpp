// Time from File > Print Preview... to the preview dialog showing its first
// page, for lists of N generated puzzles, against a floor measured in the
// same run: the same dialog showing as many pages with a single line each.
//   preview_bench DIR_OF_PUZZLES N [N ...]
#include "ui/windowrun.h"
#include "ui/winmain.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Runs show() and returns the milliseconds until the event loop is back
// with the dialog shown (its pages are drawn while it is shown).
double timeUntilShown(const std::function<void()> &show)
{
    QElapsedTimer clock;
    double ms = 0;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QPrintPreviewDialog *>(w);
                dialog && dialog->isVisible()) {
                ms = double(clock.nsecsElapsed()) / 1e6;
                dialog->reject();
            }
        }
    });
    clock.start();
    show();
    return ms;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview_bench DIR N [N ...]\n");
        return 2;
    }
    QStringList files;
    QDirIterator it(QString::fromLocal8Bit(argv[1]), {QStringLiteral("*.puz")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();

    norvale::ui::WinMain window;
    norvale::BatchOptions options;
    options.printPuzzles = true;
    options.printSolutions = true;
    std::printf("%8s %12s %12s %8s\n", "puzzles", "preview ms", "floor ms", "ratio");
    for (int a = 2; a < argc; ++a) {
        const int n = std::min<int>(int(files.size()), std::atoi(argv[a]));
        QList<norvale::FileRow> rows;
        for (int i = 0; i < n; ++i)
            rows.append({files.at(i), QString(), files.at(i)});
        // The pages the list makes: one a puzzle and a sheet per six.
        const int pages = n + (n + 5) / 6;
        QList<double> ours, floor;
        for (int rep = 0; rep < 3; ++rep) {
            ours.append(timeUntilShown([&] { window.run().preview(rows, options); }));
            floor.append(timeUntilShown([&] {
                QPrinter printer(QPrinter::HighResolution);
                QPrintPreviewDialog dialog(&printer);
                QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&](QPrinter *p) {
                    QPainter painter(p);
                    for (int page = 0; page < pages; ++page) {
                        if (page > 0)
                            p->newPage();
                        painter.drawLine(0, 0, 100, 100);
                    }
                });
                dialog.exec();
            }));
        }
        std::printf("%8d %12.0f %12.0f %8.2f\n", n, median(ours), median(floor),
                    median(ours) / median(floor));
    }
    return 0;
}
