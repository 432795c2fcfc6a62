#pragma once

#include "print/surface.h"

#include <QString>

#include <memory>

class QPrinter;

namespace norvale {

class QPainterSurface;

// Where the command line sends its pages: a PDF file, a named printer or the
// default printer, with an optional page size ("A4", "Letter", ...).
struct PrintRequest {
    QString pdfPath;
    QString printerName;
    QString pageSize;
    // The job's name (a PDF's Title) and the program that made it.
    QString title;
    QString creator;
};

// One print job of the command line. A PDF is written under a temporary name
// beside its target and renamed when the job is complete, so a failed or
// cancelled run never leaves a partial PDF.
class PrintOutput {
public:
    enum class Problem { None, Usage, Failed };

    ~PrintOutput();

    // Opens the job; on failure returns null with problem and message set
    // (Usage for a printer name or page size that does not exist, Failed
    // when the job could not be started).
    static std::unique_ptr<PrintOutput> open(const PrintRequest &request, Problem *problem,
                                             QString *message);

    Surface &surface();
    const PageSetup &page() const { return m_page; }

    // Ends the job: the PDF gets its name, or the job goes to the printer.
    bool finish(QString *message);
    // Drops the job: a PDF being written is removed.
    void abandon();

private:
    PrintOutput() = default;

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainterSurface> m_surface;
    PageSetup m_page;
    QString m_pdfPath;
    QString m_tempPath;
    bool m_done = false;
};

// Page size names the command line accepts, for messages.
QStringList knownPageSizeNames();

} // namespace norvale
