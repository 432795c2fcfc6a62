#include "cli.h"

#include "batch/batch.h"
#include "filelist/filelist.h"
#include "norvale_version.h"
#include "printoutput.h"
#include "thumbnailcommand.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <memory>

namespace norvale::cli {

namespace {

std::atomic<int> g_cancelSignal{0};

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Norvale prints crossword puzzles (Across Lite .puz, .ipuz and .jpz files) and converts "
        "them to CrossBow text files.\nWithout --print-puzzles, --print-solutions or --convert-to it "
        "opens its window with the given files in the list."));
    parser.addOptions({
        {QStringLiteral("convert-to"),
         QStringLiteral("Convert every puzzle to CrossBow format (NAME.txt) in <dir>, creating it "
                        "when needed."),
         QStringLiteral("dir")},
        {QStringLiteral("generate-solutions"),
         QStringLiteral("With --convert-to, also write the solution text files (NAME.sol.txt).")},
        {QStringLiteral("print-puzzles"), QStringLiteral("Print every puzzle, one a page.")},
        {QStringLiteral("grid-at-bottom"),
         QStringLiteral("With --print-puzzles, put the clues on top and the grid at the bottom.")},
        {QStringLiteral("print-solutions"), QStringLiteral("Print the solutions, six a page.")},
        {QStringLiteral("pdf"), QStringLiteral("Print into the PDF file <file> instead of a printer."),
         QStringLiteral("file")},
        {QStringLiteral("printer"),
         QStringLiteral("Print on the printer <name> instead of the default printer."),
         QStringLiteral("name")},
        {QStringLiteral("page-size"),
         QStringLiteral("Page size such as A4, Letter or Legal (default: the printer's; for a PDF, "
                        "the locale's)."),
         QStringLiteral("size")},
        {QStringLiteral("thumbnail"),
         QStringLiteral("Write the empty grid of the puzzle file INPUT to OUTPUT as a PNG picture "
                        "of <size> pixels on its longer side, for file managers: norvale "
                        "--thumbnail <size> INPUT OUTPUT."),
         QStringLiteral("size")},
        {{QStringLiteral("q"), QStringLiteral("quiet")},
         QStringLiteral("Show no progress; skipped entries and errors are still reported.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")},
    });
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Puzzle files and folders (folders are walked)."),
                                 QStringLiteral("[FILE|FOLDER ...]"));
}

class ListSink : public FileListSink {
public:
    void addRow(const FileRow &row) override { rows.append(row); }
    QList<FileRow> rows;
};

class Reporter : public BatchObserver {
public:
    Reporter(QTextStream &err, bool quiet, bool terminal)
        : m_err(err), m_quiet(quiet), m_terminal(terminal)
    {
    }

    void status(const QString &text) override
    {
        m_status = text;
        if (m_quiet)
            return;
        if (!m_terminal)
            m_err << text << Qt::endl;
    }

    void progress(int value, int maximum) override
    {
        if (m_quiet || !m_terminal || maximum <= 0)
            return;
        constexpr int kBar = 30;
        const int filled = value * kBar / maximum;
        m_err << "\r\x1b[K[" << QString(filled, u'#') << QString(kBar - filled, u'.') << "] "
              << value << '/' << maximum << ' ' << m_status;
        m_err.flush();
        m_barShown = true;
    }

    void skipped(int position, const FileRow &row, const QString &reason) override
    {
        if (m_reported.contains(position))
            return;
        m_reported.insert(position);
        clearBar();
        m_err << "norvale: " << QDir::toNativeSeparators(row.path())
              << ": not a readable puzzle: " << reason << Qt::endl;
    }

    void solutionUnknown(int, const FileRow &row, const QString &what) override
    {
        ++m_solutionsUnknown;
        clearBar();
        m_err << "norvale: " << QDir::toNativeSeparators(row.path()) << ": " << what << Qt::endl;
    }

    bool cancelled() override { return g_cancelSignal.load() != 0; }

    void clearBar()
    {
        if (m_barShown) {
            m_err << "\r\x1b[K";
            m_err.flush();
            m_barShown = false;
        }
    }

    qsizetype unreadable() const { return m_reported.size(); }
    int solutionsUnknown() const { return m_solutionsUnknown; }

private:
    QTextStream &m_err;
    bool m_quiet;
    bool m_terminal;
    bool m_barShown = false;
    QString m_status;
    QSet<int> m_reported;
    int m_solutionsUnknown = 0;
};

// --thumbnail SIZE INPUT OUTPUT, alone.
int thumbnail(const QCommandLineParser &parser, QTextStream &err)
{
    const QStringList names = parser.optionNames();
    const bool alone = std::all_of(names.cbegin(), names.cend(),
                                   [](const QString &name) { return name == u"thumbnail"; });
    const QStringList files = parser.positionalArguments();
    if (!alone || names.size() != 1 || files.size() != 2) {
        err << "norvale: --thumbnail takes SIZE INPUT OUTPUT and no other option" << Qt::endl
            << "Try 'norvale --help'." << Qt::endl;
        return ExitUsage;
    }
    return writeThumbnail(parser.value(QStringLiteral("thumbnail")), files.at(0), files.at(1), err);
}

} // namespace

void requestCancel(int signalNumber) { g_cancelSignal.store(signalNumber); }

bool isBatchCommand(const QStringList &arguments)
{
    // Bad options are the command line's to report, not the window's.
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments))
        return true;
    // Any option of the batch command (--pdf, --quiet, ...) means the user
    // wants the command line; it says what is missing.
    return !parser.optionNames().isEmpty();
}

bool isThumbnailCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    return parser.parse(arguments) && parser.isSet(QStringLiteral("thumbnail")) &&
           !parser.isSet(QStringLiteral("help")) && !parser.isSet(QStringLiteral("version"));
}

QStringList fileArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    parser.parse(arguments);
    return parser.positionalArguments();
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err, bool progressIsTerminal)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        err << "norvale: " << parser.errorText() << "\nTry 'norvale --help'." << Qt::endl;
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        out.flush();
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << "norvale " << version::Text << Qt::endl;
        return ExitOk;
    }
    if (parser.isSet(QStringLiteral("thumbnail")))
        return thumbnail(parser, err);

    BatchOptions options;
    options.printPuzzles = parser.isSet(QStringLiteral("print-puzzles"));
    options.gridAtBottom = parser.isSet(QStringLiteral("grid-at-bottom"));
    options.printSolutions = parser.isSet(QStringLiteral("print-solutions"));
    options.convert = parser.isSet(QStringLiteral("convert-to"));
    options.generateSolutions = parser.isSet(QStringLiteral("generate-solutions"));
    if (!options.anyPass()) {
        err << "norvale: nothing to do: give --print-puzzles, --print-solutions or --convert-to"
            << Qt::endl
            << "Try 'norvale --help'." << Qt::endl;
        return ExitUsage;
    }
    auto needs = [&](const char *option, bool given, const char *requirement) {
        if (given)
            err << "norvale: --" << option << " needs " << requirement << Qt::endl;
        return given;
    };
    const bool printOptions = parser.isSet(QStringLiteral("pdf"))
                              || parser.isSet(QStringLiteral("printer"))
                              || parser.isSet(QStringLiteral("page-size"));
    if (needs("generate-solutions", options.generateSolutions && !options.convert, "--convert-to")
        || needs("grid-at-bottom", options.gridAtBottom && !options.printPuzzles, "--print-puzzles")
        || needs("pdf, --printer and --page-size", printOptions && !options.prints(),
                 "--print-puzzles or --print-solutions")
        || needs("pdf", parser.isSet(QStringLiteral("pdf")) && parser.isSet(QStringLiteral("printer")),
                 "no --printer")) {
        return ExitUsage;
    }

    // The destination folder is made before anything is read.
    QString destination;
    if (options.convert) {
        destination = QDir(parser.value(QStringLiteral("convert-to"))).absolutePath();
        if (!QDir().mkpath(destination)) {
            err << "norvale: cannot create the folder " << QDir::toNativeSeparators(destination)
                << Qt::endl;
            return ExitWriteFailed;
        }
    }

    // The list is built exactly as a drop of these items on the window.
    ListSink list;
    for (const QString &item : parser.positionalArguments())
        ReadFolderItem(QFileInfo(item), list);
    if (list.rows.isEmpty()) {
        err << "norvale: No Files in List" << Qt::endl;
        return ExitUsage;
    }

    Reporter reporter(err, parser.isSet(QStringLiteral("quiet")), progressIsTerminal);

    // One print job for the whole run, named for what it will hold; a list
    // without a readable puzzle starts none (no empty page, no empty PDF).
    std::unique_ptr<PrintOutput> job;
    if (options.prints()) {
        const PrintJobContents contents = surveyPrintJob(list.rows, reporter);
        if (contents.cancelled) {
            err << "norvale: cancelled" << Qt::endl;
            return 128 + g_cancelSignal.load();
        }
        if (contents.puzzles == 0) {
            err << "norvale: " << nothingToPrintMessage() << Qt::endl;
            return ExitUnreadable;
        }
        PrintOutput::Problem problem = PrintOutput::Problem::None;
        QString message;
        job = PrintOutput::open({parser.value(QStringLiteral("pdf")),
                                 parser.value(QStringLiteral("printer")),
                                 parser.value(QStringLiteral("page-size")),
                                 contents.documentTitle(),
                                 QStringLiteral("Norvale %1").arg(QString::fromLatin1(version::Text))},
                                &problem, &message);
        if (!job) {
            err << "norvale: " << message << Qt::endl;
            return problem == PrintOutput::Problem::Usage ? ExitUsage : ExitWriteFailed;
        }
    }

    Puzzle record;
    BatchRun batch(list.rows, options, record, reporter);
    batch.setDestination(destination);
    if (job)
        batch.setPrintTarget(&job->surface(), job->page());
    const BatchResult result = batch.run();
    reporter.clearBar();

    if (result.failure || result.cancelled) {
        if (job)
            job->abandon();
        if (result.failure) {
            err << "norvale: " << *result.failure << Qt::endl;
            return ExitWriteFailed;
        }
        err << "norvale: cancelled" << Qt::endl;
        return 128 + g_cancelSignal.load();
    }
    if (job && result.printed == 0) {
        // The files changed since the job was named: still no empty job.
        job->abandon();
        err << "norvale: " << nothingToPrintMessage() << Qt::endl;
        return ExitUnreadable;
    }
    if (job) {
        QString message;
        if (!job->finish(&message)) {
            err << "norvale: " << message << Qt::endl;
            return ExitWriteFailed;
        }
    }
    // A locked solution that could not be printed or written is not a
    // complete success either.
    return reporter.unreadable() > 0 || reporter.solutionsUnknown() > 0 ? ExitUnreadable : ExitOk;
}

} // namespace norvale::cli
