#include "printoutput.h"

#include "print/paintersurface.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include <cstdio>

#include <sys/stat.h>

namespace norvale {

namespace {

bool pageSizeByName(const QString &name, QPageSize *out)
{
    for (int i = 0; i <= int(QPageSize::LastPageSize); ++i) {
        const auto id = static_cast<QPageSize::PageSizeId>(i);
        if (id == QPageSize::Custom)
            continue;
        if (QPageSize::key(id).compare(name, Qt::CaseInsensitive) == 0
            || QPageSize::name(id).compare(name, Qt::CaseInsensitive) == 0) {
            *out = QPageSize(id);
            return true;
        }
    }
    return false;
}

QString availablePrintersText()
{
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty())
        return QStringLiteral("no printers are available; use --pdf FILE to print to a PDF file");
    return QStringLiteral("available printers: %1 (or use --pdf FILE to print to a PDF file)")
        .arg(names.join(QStringLiteral(", ")));
}

// QTemporaryFile makes its file readable by its owner alone. The PDF gets
// what any new file gets here (0666 less the umask), or keeps the
// permissions of the PDF it replaces.
void giveUsualPermissions(int fd, const QString &target)
{
    struct stat existing {};
    if (::stat(QFile::encodeName(target).constData(), &existing) == 0) {
        ::fchmod(fd, existing.st_mode & 07777);
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
}

} // namespace

QStringList knownPageSizeNames()
{
    return {QStringLiteral("A3"), QStringLiteral("A4"), QStringLiteral("A5"),
            QStringLiteral("Letter"), QStringLiteral("Legal"), QStringLiteral("Tabloid")};
}

PrintOutput::~PrintOutput()
{
    if (!m_done)
        abandon();
}

std::unique_ptr<PrintOutput> PrintOutput::open(const PrintRequest &request, Problem *problem,
                                               QString *message)
{
    *problem = Problem::None;
    QPageSize pageSize;
    if (!request.pageSize.isEmpty() && !pageSizeByName(request.pageSize, &pageSize)) {
        *problem = Problem::Usage;
        *message = QStringLiteral("unknown page size \"%1\" (for example %2)")
                       .arg(request.pageSize, knownPageSizeNames().join(QStringLiteral(", ")));
        return nullptr;
    }

    std::unique_ptr<PrintOutput> job(new PrintOutput);
    if (!request.pdfPath.isEmpty()) {
        job->m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        job->m_printer->setOutputFormat(QPrinter::PdfFormat);
        job->m_pdfPath = QFileInfo(request.pdfPath).absoluteFilePath();
        // A free name beside the target; QPrinter writes it, finish() renames it.
        QTemporaryFile temp(job->m_pdfPath + QStringLiteral(".XXXXXX.part"));
        if (!temp.open()) {
            *problem = Problem::Failed;
            *message = QStringLiteral("cannot write %1: %2")
                           .arg(QDir::toNativeSeparators(job->m_pdfPath), temp.errorString());
            return nullptr;
        }
        temp.setAutoRemove(false);
        giveUsualPermissions(temp.handle(), job->m_pdfPath);
        job->m_tempPath = temp.fileName();
        job->m_printer->setOutputFileName(job->m_tempPath);
        if (request.pageSize.isEmpty()) {
            pageSize = QPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
                                     ? QPageSize::Letter
                                     : QPageSize::A4);
        }
    } else {
        // QPrinter quietly keeps another printer for an unknown name, so the
        // name is checked against the print service's list first.
        QPrinterInfo info;
        if (!request.printerName.isEmpty()) {
            if (!QPrinterInfo::availablePrinterNames().contains(request.printerName)) {
                *problem = Problem::Usage;
                *message = QStringLiteral("there is no printer named \"%1\"; %2")
                               .arg(request.printerName, availablePrintersText());
                return nullptr;
            }
            info = QPrinterInfo::printerInfo(request.printerName);
        } else {
            info = QPrinterInfo::defaultPrinter();
            if (info.isNull()) {
                *problem = Problem::Usage;
                *message = QStringLiteral("there is no default printer; give --printer NAME; %1")
                               .arg(availablePrintersText());
                return nullptr;
            }
        }
        job->m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        // Without a print service QPrinter falls back to PDF output with no
        // file name; that is no printer at all.
        if (job->m_printer->outputFormat() != QPrinter::NativeFormat) {
            *problem = Problem::Usage;
            *message = QStringLiteral("the print service does not offer \"%1\"; %2")
                           .arg(info.printerName(), availablePrintersText());
            return nullptr;
        }
    }
    if (pageSize.isValid())
        job->m_printer->setPageSize(pageSize);
    job->m_printer->setDocName(request.title.isEmpty() ? QStringLiteral("Norvale") : request.title);
    if (!request.creator.isEmpty())
        job->m_printer->setCreator(request.creator);

    job->m_page = printerPageSetup(*job->m_printer);
    job->m_surface = std::make_unique<QPainterSurface>(job->m_printer.get());
    if (!job->m_surface->isActive()) {
        *problem = Problem::Failed;
        *message = job->m_pdfPath.isEmpty()
                       ? QStringLiteral("the print job for \"%1\" could not be started")
                             .arg(job->m_printer->printerName())
                       : QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(job->m_pdfPath));
        job->m_surface.reset();
        return nullptr;
    }
    return job;
}

Surface &PrintOutput::surface() { return *m_surface; }

bool PrintOutput::finish(QString *message)
{
    m_done = true;
    const bool ended = m_surface->finish();
    // A PDF job writes the temporary file, which is checked before it counts.
    const bool printerFailed = !printJobDelivered(*m_printer);
    m_surface.reset();
    if (!ended || printerFailed) {
        if (!m_tempPath.isEmpty())
            QFile::remove(m_tempPath);
        *message = m_pdfPath.isEmpty()
                       ? QStringLiteral("the print job for \"%1\" failed").arg(m_printer->printerName())
                       : QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(m_pdfPath));
        return false;
    }
    if (!m_tempPath.isEmpty()) {
        // rename() replaces an older PDF of that name in one step.
        if (std::rename(QFile::encodeName(m_tempPath).constData(),
                        QFile::encodeName(m_pdfPath).constData())
            != 0) {
            QFile::remove(m_tempPath);
            *message = QStringLiteral("cannot write %1").arg(QDir::toNativeSeparators(m_pdfPath));
            return false;
        }
    }
    return true;
}

void PrintOutput::abandon()
{
    m_done = true;
    if (m_surface) {
        if (m_tempPath.isEmpty())
            m_printer->abort(); // nothing of a cancelled job reaches the printer
        m_surface->finish();
        m_surface.reset();
    }
    if (!m_tempPath.isEmpty())
        QFile::remove(m_tempPath);
}

} // namespace norvale
