#include "windowrun.h"

#include "print/paintersurface.h"
#include "rundialogs.h"
#include "winmain.h"

#include "norvale_version.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QPrintPreviewDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>

#include <memory>
#include <optional>

namespace norvale::ui {

namespace {

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

// The PDF file the printer writes, or an empty text for a printer.
QString pdfFileOf(const QPrinter &printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
}

// Drops a job whose pages are not to be printed: nothing reaches the print
// service, and a PDF file begun for it is removed.
void abandonPrintJob(QPrinter &printer, PrintJob &job)
{
    printer.abort();
    job.surface->finish();
    job.surface.reset();
    const QString pdf = pdfFileOf(printer);
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
    const QString pdf = pdfFileOf(printer);
    if (pdf.isEmpty())
        return QStringLiteral("%1: the print job could not be finished").arg(printTarget(printer));
    if (QFileInfo(pdf).isFile())
        QFile::remove(pdf);
    return QStringLiteral(
               "cannot write %1: the PDF file could not be completed (is the disk full?)")
        .arg(QDir::toNativeSeparators(pdf));
}

} // namespace

// What the batch run reports, shown in the window as it happens.
class WindowRun::Observer : public BatchObserver {
public:
    explicit Observer(WindowRun &run) : m_run(run), m_window(run.m_window) {}

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

    // Each entry once, whichever pass met it first.
    void skipped(int position, const FileRow &row, const QString &reason) override
    {
        if (m_run.m_skippedPositions.contains(position))
            return;
        m_run.m_skippedPositions.insert(position);
        m_run.addToReport(QStringLiteral("%1: not a readable puzzle: %2")
                              .arg(QDir::toNativeSeparators(row.path()), reason));
    }
    void solutionUnknown(int, const FileRow &row, const QString &what) override
    {
        m_run.addToReport(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(row.path()), what));
    }

private:
    WindowRun &m_run;
    WinMain &m_window;
};

void WindowRun::addToReport(const QString &line) { m_report.append(line); }

// The status line keeps "done"; its tooltip lists what the run left out.
void WindowRun::showReport()
{
    QStringList lines = m_report.mid(0, kReportLines);
    if (m_report.size() > kReportLines)
        lines.append(QStringLiteral("and %1 more").arg(m_report.size() - kReportLines));
    m_window.LabStatus->setToolTip(lines.join(u'\n'));
}

namespace {
// The preview draws without showing progress: the dialog is not open yet,
// and its pages are drawn in one go.
class QuietObserver : public BatchObserver {};
} // namespace

void WindowRun::preview(const QList<FileRow> &rows, const BatchOptions &options)
{
    if (m_running || !options.prints())
        return;
    const QScopedValueRollback<bool> guard(m_running, true);
    if (!m_window.ps)
        m_window.ps = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_window.ps->setResolution(kPrintResolution);
    QPrintPreviewDialog dialog(m_window.ps.get(), &m_window);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter *printer) {
                         QApplication::setOverrideCursor(Qt::WaitCursor);
                         printPages(*printer, rows, options);
                         QApplication::restoreOverrideCursor();
                     });
    dialog.exec();
}

int WindowRun::printPages(QPrinter &printer, const QList<FileRow> &rows, const BatchOptions &options)
{
    BatchOptions printing = options;
    printing.convert = false;
    const PageSetup page = printerPageSetup(printer);
    QPainterSurface surface(&printer);
    if (!surface.isActive())
        return 0;
    QuietObserver observer;
    BatchRun run(rows, printing, m_window.record, observer);
    run.setPrintTarget(&surface, page);
    const int printed = run.run().printed;
    surface.finish();
    return printed;
}

void WindowRun::start(const QList<FileRow> &rows, const BatchOptions &options)
{
    // After "Cancel" the button reads "Go" at once, but the cancelled run
    // still holds the record and the print job until it has returned from
    // the position it was at. A press in that moment starts nothing.
    if (m_running)
        return;
    const QScopedValueRollback<bool> guard(m_running, true);
    runPasses(rows, options);
}

void WindowRun::runPasses(const QList<FileRow> &list, const BatchOptions &chosen)
{
    m_report.clear();
    m_skippedPositions.clear();
    showReport();
    m_window.busy();
    m_window.ProgressBar1->setMaximum(0);
    m_window.setStatus(QStringLiteral("Waiting for user input..."));

    if (chosen.convert) {
        m_window.destination = m_window.dialogs().chooseFolder(
            &m_window, QStringLiteral("Select the Destination Folder"),
            QStringLiteral("Convert to CrossBow Format"), QStringLiteral("Select"),
            m_window.destination);
        if (m_window.destination.isEmpty()) {
            m_window.done();
            return;
        }
    }

    PrintJob job;
    std::optional<QString> failure;
    Observer observer(*this);
    if (chosen.prints()) {
        if (!m_window.ps)
            m_window.ps = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_window.ps->setResolution(kPrintResolution);
        if (!m_window.dialogs().pageSetup(&m_window, *m_window.ps) ||
            !m_window.dialogs().print(*m_window.ps)) {
            m_window.done();
            return;
        }
        // The job is named for what it will hold; with no readable puzzle
        // in the list it is not started, so no empty page comes out.
        const PrintJobContents contents = surveyPrintJob(list, observer);
        if (contents.cancelled || contents.puzzles == 0) {
            if (!contents.cancelled)
                addToReport(nothingToPrintMessage());
            m_window.done();
            showReport();
            return;
        }
        m_window.ps->setDocName(contents.documentTitle());
        m_window.ps->setCreator(
            QStringLiteral("Norvale %1").arg(QString::fromLatin1(version::Text)));
        failure = openPrintJob(*m_window.ps, job);
    }

    bool printedNothing = false;
    if (!failure) {
        BatchRun run(list, chosen, m_window.record, observer);
        run.setDestination(m_window.destination);
        if (job.surface)
            run.setPrintTarget(job.surface.get(), job.page);
        const BatchResult result = run.run();
        failure = result.failure;
        printedNothing = result.printed == 0;
    }
    if (job.surface && printedNothing) {
        // Nothing of a job without pages is sent.
        abandonPrintJob(*m_window.ps, job);
    } else if (job.surface) {
        const std::optional<QString> ended = finishPrintJob(*m_window.ps, job);
        if (!failure)
            failure = ended;
    }

    // A failure stops the run, but the window and its list stay.
    if (failure) {
        addToReport(*failure);
        m_window.dialogs().message(&m_window, QStringLiteral("An unhandled Exeption has occured"),
                                   *failure);
    }
    m_window.done();
    showReport();
}

} // namespace norvale::ui
