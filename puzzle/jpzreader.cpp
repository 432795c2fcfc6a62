#include "jpzreader.h"

#include "anyreader.h"
#include "gridparts.h"
#include "plaintext.h"

#include <QXmlStreamReader>

#include <zip.h>

#include <memory>

namespace norvale {

namespace {

// A jpz file, read with a stream reader that is given no entity resolver:
// entities that the XML itself declares are refused outright, so that an
// input can neither name files nor expand without bound.
class JpzReader {
public:
    explicit JpzReader(QByteArrayView bytes) : m_xml(bytes.toByteArray())
    {
        m_xml.setNamespaceProcessing(true);
    }

    GridParts read()
    {
        if (!nextElement())
            fail(u"the XML file holds no element"_qs);
        const QStringView root = m_xml.name();
        if (root != u"crossword-compiler" && root != u"crossword-compiler-applet")
            throw Refusal{QStringLiteral("the XML root element \"%1\" is not a jpz puzzle")
                              .arg(root.toString())};
        bool puzzle = false;
        while (childElement()) {
            if (m_xml.name() == u"rectangular-puzzle") {
                readRectangularPuzzle();
                puzzle = true;
            } else {
                skip();
            }
        }
        if (!puzzle)
            throw Refusal{u"the jpz file holds no rectangular puzzle"_qs};
        if (!m_grid)
            throw Refusal{u"the jpz file holds no crossword grid"_qs};
        // The whole document must be well-formed, not only its first part.
        while (!m_xml.atEnd())
            token();
        return std::move(m_parts);
    }

private:
    [[noreturn]] void fail(const QString &what)
    {
        if (m_xml.hasError())
            throw Refusal{QStringLiteral("malformed XML at line %1, column %2: %3")
                              .arg(m_xml.lineNumber())
                              .arg(m_xml.columnNumber())
                              .arg(m_xml.errorString())};
        throw Refusal{what};
    }

    QXmlStreamReader::TokenType token()
    {
        const QXmlStreamReader::TokenType t = m_xml.readNext();
        if (t == QXmlStreamReader::Invalid)
            fail(QString());
        if (t == QXmlStreamReader::DTD && !m_xml.entityDeclarations().isEmpty())
            throw Refusal{u"the XML file declares entities"_qs};
        if (t == QXmlStreamReader::EntityReference)
            throw Refusal{QStringLiteral("the XML file refers to the undeclared entity \"%1\"")
                              .arg(m_xml.name().toString())};
        return t;
    }

    // The next start element at any depth; false at the end.
    bool nextElement()
    {
        while (!m_xml.atEnd()) {
            if (token() == QXmlStreamReader::StartElement)
                return true;
        }
        return false;
    }

    // The next child element of the current element; false at its end.
    bool childElement()
    {
        for (;;) {
            const QXmlStreamReader::TokenType t = token();
            if (t == QXmlStreamReader::StartElement)
                return true;
            if (t == QXmlStreamReader::EndElement || t == QXmlStreamReader::EndDocument)
                return false;
        }
    }

    // Passes over the rest of the current element. A loop, not a recursion:
    // elements may nest as deep as the file is long.
    void skip()
    {
        for (int depth = 1; depth > 0;) {
            const QXmlStreamReader::TokenType t = token();
            if (t == QXmlStreamReader::StartElement)
                ++depth;
            else if (t == QXmlStreamReader::EndElement)
                --depth;
            else if (t == QXmlStreamReader::EndDocument)
                fail(u"the XML file ends inside an element"_qs);
        }
    }

    // The text of the current element with its mark-up removed: the text
    // of every element inside it, <br> as a line break.
    QString elementText(LineBreaks breaks)
    {
        QString raw;
        int depth = 1;
        while (depth > 0) {
            switch (token()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                if (m_xml.name().compare(u"br", Qt::CaseInsensitive) == 0)
                    raw += u'\n';
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
                raw += m_xml.text();
                break;
            case QXmlStreamReader::EndDocument:
                fail(QString());
            default:
                break;
            }
        }
        // Some files carry their mark-up escaped, as text.
        return plainText(raw, breaks);
    }

    QStringView attribute(const char *name) const
    {
        return m_xml.attributes().value(QLatin1StringView(name));
    }

    void readRectangularPuzzle()
    {
        while (childElement()) {
            const QStringView name = m_xml.name();
            if (name == u"metadata") {
                readMetadata();
            } else if (name == u"crossword") {
                readCrossword();
            } else if (name == u"acrostic") {
                throw Refusal{u"an acrostic is not a crossword"_qs};
            } else if (name == u"coded") {
                throw Refusal{u"a coded puzzle is not a crossword"_qs};
            } else if (name == u"sudoku" || name == u"word-search") {
                throw Refusal{
                    QStringLiteral("a %1 puzzle is not a crossword").arg(name.toString())};
            } else {
                skip();
            }
        }
    }

    void readMetadata()
    {
        while (childElement()) {
            const QStringView name = m_xml.name();
            if (name == u"title")
                m_parts.title = elementText(LineBreaks::Space);
            else if (name == u"creator")
                m_parts.author = elementText(LineBreaks::Space);
            else if (name == u"copyright")
                m_parts.copyright = elementText(LineBreaks::Space);
            else if (name == u"description")
                m_parts.notes = elementText(LineBreaks::Keep);
            else
                skip();
        }
    }

    void readCrossword()
    {
        while (childElement()) {
            const QStringView name = m_xml.name();
            if (name == u"grid")
                readGrid();
            else if (name == u"clues")
                readClues();
            else
                skip();
        }
    }

    int dimension(const char *name)
    {
        const QStringView v = attribute(name);
        const std::optional<qint32> n = numberText(v);
        if (!n || *n < 1 || *n > 255)
            throw Refusal{QStringLiteral("the grid's %1 \"%2\" is not 1 to 255")
                              .arg(QLatin1StringView(name), v.toString())};
        return *n;
    }

    int coordinate(const char *name)
    {
        const QStringView v = attribute(name);
        const std::optional<qint32> n = numberText(v);
        const int limit = *name == 'x' ? m_parts.width : m_parts.height;
        if (!n)
            throw Refusal{QStringLiteral("a cell's %1 \"%2\" is not a number")
                              .arg(QLatin1StringView(name), v.toString())};
        if (*n < 1 || *n > limit)
            throw Refusal{QStringLiteral("a cell at %1=%2 is outside the %3 x %4 grid")
                              .arg(QLatin1StringView(name))
                              .arg(*n)
                              .arg(m_parts.width)
                              .arg(m_parts.height)};
        return *n;
    }

    void readGrid()
    {
        if (m_grid)
            throw Refusal{u"the crossword has two grids"_qs};
        m_grid = true;
        m_parts.width = dimension("width");
        m_parts.height = dimension("height");
        const qsizetype cells = qsizetype(m_parts.width) * m_parts.height;
        m_parts.cells.resize(cells);
        QList<bool> seen(cells);
        while (childElement()) {
            if (m_xml.name() != u"cell") {
                skip();
                continue;
            }
            const int x = coordinate("x");
            const int y = coordinate("y");
            const qsizetype i = qsizetype(y - 1) * m_parts.width + (x - 1);
            if (seen[i])
                throw Refusal{
                    QStringLiteral("the square at %1 is given twice").arg(squareName(x, y))};
            seen[i] = true;
            GridParts::Cell &cell = m_parts.cells[i];
            const QStringView type = attribute("type");
            // A void square is not part of the puzzle; it prints as black.
            if (type == u"block" || type == u"void") {
                cell.black = true;
            } else if (!type.isEmpty() && type != u"letter") {
                throw Refusal{QStringLiteral("the square at %1 is of type \"%2\", not a letter")
                                  .arg(squareName(x, y), type.toString())};
            }
            cell.solution = attribute("solution").trimmed().toString();
            const QStringView number = attribute("number");
            if (!cell.black && !number.trimmed().isEmpty()) {
                const std::optional<qint32> n = numberText(number);
                if (!n)
                    throw Refusal{QStringLiteral("the number \"%1\" at %2 is not a number")
                                      .arg(number.toString(), squareName(x, y))};
                cell.label = *n;
            }
            cell.circled = attribute("background-shape") == u"circle";
            skip();
        }
        for (qsizetype i = 0; i < cells; ++i) {
            if (!seen.at(i))
                throw Refusal{
                    QStringLiteral("the grid gives no square at %1")
                        .arg(squareName(int(i % m_parts.width) + 1, int(i / m_parts.width) + 1))};
        }
    }

    // A list of clues; its title says its direction.
    void readClues()
    {
        QString title;
        QList<GridParts::Clue> clues;
        while (childElement()) {
            const QStringView name = m_xml.name();
            if (name == u"title") {
                title = elementText(LineBreaks::Space);
            } else if (name == u"clue") {
                const QString number = attribute("number").toString();
                const std::optional<qint32> n = numberText(number);
                if (!n)
                    throw Refusal{QStringLiteral("clue number \"%1\" is not a number").arg(number)};
                clues.append({*n, elementText(LineBreaks::Space)});
            } else {
                skip();
            }
        }
        QList<GridParts::Clue> *list = m_parts.clues(title);
        if (!list)
            throw Refusal{
                QStringLiteral("the clue list \"%1\" is neither Across nor Down").arg(title)};
        if (!list->isEmpty())
            throw Refusal{QStringLiteral("the crossword has two %1 lists").arg(title)};
        *list = std::move(clues);
    }

    QXmlStreamReader m_xml;
    GridParts m_parts;
    bool m_grid = false;
};

// libzip's archive, closed without writing anything back.
struct ArchiveCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
struct EntryCloser {
    void operator()(zip_file_t *file) const { zip_fclose(file); }
};

bool hasPuzzleName(const char *name)
{
    const QString n = QString::fromUtf8(name);
    return n.endsWith(u".xml", Qt::CaseInsensitive) || n.endsWith(u".jpz", Qt::CaseInsensitive);
}

// The bytes of the archive's puzzle entry.
QByteArray puzzleEntry(QByteArrayView bytes)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        throw Refusal{u"the ZIP archive cannot be read"_qs};
    }
    std::unique_ptr<zip_t, ArchiveCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
    if (!archive) {
        zip_source_free(source);
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw Refusal{QStringLiteral("the ZIP archive cannot be read: %1").arg(reason)};
    }
    zip_error_fini(&error);

    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    if (entries > kMaxZipEntries)
        throw Refusal{QStringLiteral("the ZIP archive holds %1 entries, more than a puzzle's %2")
                          .arg(entries)
                          .arg(kMaxZipEntries)};
    zip_int64_t chosen = entries == 1 ? 0 : -1;
    for (zip_int64_t i = 0; chosen < 0 && i < entries; ++i) {
        const char *name = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        if (name && hasPuzzleName(name))
            chosen = i;
    }
    if (chosen < 0)
        throw Refusal{u"the ZIP archive holds no puzzle"_qs};

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), zip_uint64_t(chosen), 0, &stat) != 0)
        throw Refusal{u"the ZIP archive's entry cannot be read"_qs};
    const QString entryName = QString::fromUtf8(stat.name ? stat.name : "");
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(kMaxZipEntryBytes))
        throw Refusal{QStringLiteral("the ZIP entry \"%1\" is too large to be a puzzle (%2 bytes)")
                          .arg(entryName)
                          .arg(stat.size)};

    std::unique_ptr<zip_file_t, EntryCloser> file(
        zip_fopen_index(archive.get(), zip_uint64_t(chosen), 0));
    if (!file)
        throw Refusal{QStringLiteral("the ZIP entry \"%1\" cannot be read: %2")
                          .arg(entryName, QString::fromUtf8(zip_strerror(archive.get())))};
    // The declared size may lie: reading stops one chunk past the limit.
    QByteArray out;
    char chunk[64 * 1024];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), chunk, sizeof chunk);
        if (n < 0)
            throw Refusal{QStringLiteral("the ZIP entry \"%1\" cannot be read: %2")
                              .arg(entryName, QString::fromUtf8(zip_file_strerror(file.get())))};
        if (n == 0)
            break;
        out.append(chunk, qsizetype(n));
        if (out.size() > kMaxZipEntryBytes)
            throw Refusal{
                QStringLiteral("the ZIP entry \"%1\" is too large to be a puzzle").arg(entryName)};
    }
    return out;
}

} // namespace

ReadResult readJpz(QByteArrayView bytes, const QString &fileName)
{
    try {
        return assemblePuzzle(JpzReader(bytes).read(), fileName);
    } catch (const Refusal &refusal) {
        ReadResult result;
        result.error = refusal.reason;
        return result;
    }
}

ReadResult readZippedJpz(QByteArrayView bytes, const QString &fileName)
{
    ReadResult result;
    QByteArray entry;
    try {
        entry = puzzleEntry(bytes);
    } catch (const Refusal &refusal) {
        result.error = refusal.reason;
        return result;
    }
    if (puzzleFormat(entry) != PuzzleFormat::Xml) {
        result.error = u"the ZIP archive holds no puzzle: its entry is not XML"_qs;
        return result;
    }
    return readJpz(entry, fileName);
}

} // namespace norvale
