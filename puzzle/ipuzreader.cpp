#include "ipuzreader.h"

#include "gridparts.h"
#include "plaintext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace norvale {

namespace {

// A JSON value as text, as ipuz writes labels and clue numbers either way:
// a string as it is, a whole number in digits; nullopt for anything else.
std::optional<QString> scalarText(const QJsonValue &v)
{
    if (v.isString())
        return v.toString();
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
            return QString::number(qint64(d));
        return QString::number(d);
    }
    return std::nullopt;
}

QString jsonShown(const QJsonValue &v)
{
    if (const auto text = scalarText(v))
        return *text;
    if (v.isObject())
        return u"an object"_qs;
    if (v.isArray())
        return u"a list"_qs;
    if (v.isBool())
        return v.toBool() ? u"true"_qs : u"false"_qs;
    return u"null"_qs;
}

class IpuzReader {
public:
    explicit IpuzReader(const QJsonObject &root) : m_root(root) {}

    GridParts read()
    {
        checkKind();
        readDimensions();
        m_block = scalarText(m_root.value(u"block")).value_or(u"#"_qs);
        m_empty = scalarText(m_root.value(u"empty")).value_or(u"0"_qs);
        readPuzzleCells();
        readSolution();
        readClues();
        m_parts.title = text(u"title", LineBreaks::Space);
        m_parts.author = text(u"author", LineBreaks::Space);
        m_parts.copyright = text(u"copyright", LineBreaks::Space);
        m_parts.notes = text(u"notes", LineBreaks::Keep);
        return std::move(m_parts);
    }

private:
    void checkKind()
    {
        const QJsonValue kind = m_root.value(u"kind");
        if (!kind.isArray() || kind.toArray().isEmpty())
            throw Refusal{u"the ipuz file names no kind"_qs};
        for (const QJsonValue &k : kind.toArray()) {
            const QString uri = k.toString();
            if (uri.startsWith(u"http://ipuz.org/crossword") ||
                uri.startsWith(u"https://ipuz.org/crossword"))
                return;
        }
        throw Refusal{QStringLiteral("ipuz kind %1 is not a crossword")
                          .arg(jsonShown(kind.toArray().first()))};
    }

    int dimension(const QJsonObject &dims, QStringView name)
    {
        const QJsonValue v = dims.value(name);
        const std::optional<qint32> n = numberText(scalarText(v).value_or(QString()));
        if (!n || *n < 1 || *n > 255)
            throw Refusal{QStringLiteral("the %1 %2 is not 1 to 255").arg(name, jsonShown(v))};
        return *n;
    }

    void readDimensions()
    {
        const QJsonValue dims = m_root.value(u"dimensions");
        if (!dims.isObject())
            throw Refusal{u"the ipuz file gives no dimensions"_qs};
        m_parts.width = dimension(dims.toObject(), u"width");
        m_parts.height = dimension(dims.toObject(), u"height");
        m_parts.cells.resize(qsizetype(m_parts.width) * m_parts.height);
    }

    // The rows of "puzzle" or "solution", checked against the dimensions.
    QJsonArray rows(QStringView name)
    {
        const QJsonValue v = m_root.value(name);
        if (!v.isArray())
            throw Refusal{QStringLiteral("the %1 is not a list of rows").arg(name)};
        const QJsonArray rows = v.toArray();
        if (rows.size() != m_parts.height)
            throw Refusal{QStringLiteral("the grid is %1 x %2 but the %3 has %4 rows")
                              .arg(m_parts.width)
                              .arg(m_parts.height)
                              .arg(name)
                              .arg(rows.size())};
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const qsizetype cells = rows.at(r).isArray() ? rows.at(r).toArray().size() : -1;
            if (cells != m_parts.width)
                throw Refusal{
                    QStringLiteral("the grid is %1 x %2 but row %3 of the %4 has %5")
                        .arg(m_parts.width)
                        .arg(m_parts.height)
                        .arg(r + 1)
                        .arg(name)
                        .arg(cells < 0 ? u"no cells"_qs : QStringLiteral("%1 cells").arg(cells))};
        }
        return rows;
    }

    bool isBlock(const QJsonValue &v) const { return scalarText(v) == m_block; }

    // A style, given in the cell or by the name of one of "styles".
    bool circled(const QJsonValue &style) const
    {
        const QJsonValue s =
            style.isString() ? m_root.value(u"styles").toObject().value(style.toString()) : style;
        return s.toObject().value(u"shapebg").toString() == u"circle";
    }

    void readPuzzleCells()
    {
        const QJsonArray grid = rows(u"puzzle");
        for (int y = 1; y <= m_parts.height; ++y) {
            const QJsonArray row = grid.at(y - 1).toArray();
            for (int x = 1; x <= m_parts.width; ++x) {
                GridParts::Cell &cell = m_parts.cells[qsizetype(y - 1) * m_parts.width + (x - 1)];
                QJsonValue v = row.at(x - 1);
                if (v.isObject()) {
                    const QJsonObject o = v.toObject();
                    cell.circled = circled(o.value(u"style"));
                    v = o.contains(u"cell") ? o.value(u"cell") : QJsonValue(0);
                }
                // An omitted square is printed and converted as a black one.
                if (v.isNull() || isBlock(v)) {
                    cell.black = true;
                    continue;
                }
                const std::optional<QString> label = scalarText(v);
                if (!label || *label == m_empty)
                    continue;
                const std::optional<qint32> n = numberText(*label);
                if (!n)
                    throw Refusal{QStringLiteral("the label \"%1\" at %2 is not a number")
                                      .arg(jsonShown(v), squareName(x, y))};
                cell.label = *n;
            }
        }
    }

    // A square's answer: a text, or an object's "value"; blocks and empty
    // values give none.
    QString answer(const QJsonValue &v, int x, int y) const
    {
        const QJsonValue value = v.isObject() ? v.toObject().value(u"value") : v;
        if (value.isNull() || value.isUndefined())
            return {};
        if (value.isDouble() && value.toDouble() == 0)
            return {};
        if (!value.isString())
            throw Refusal{QStringLiteral("the answer at %1 is %2, not a text")
                              .arg(squareName(x, y), jsonShown(value))};
        const QString text = value.toString().trimmed();
        return text == m_empty ? QString() : text;
    }

    // Without "solution" the answers are unknown.
    void readSolution()
    {
        if (!m_root.contains(u"solution") || m_root.value(u"solution").isNull())
            return;
        const QJsonArray grid = rows(u"solution");
        for (int y = 1; y <= m_parts.height; ++y) {
            const QJsonArray row = grid.at(y - 1).toArray();
            for (int x = 1; x <= m_parts.width; ++x) {
                GridParts::Cell &cell = m_parts.cells[qsizetype(y - 1) * m_parts.width + (x - 1)];
                const QJsonValue v = row.at(x - 1);
                const bool block = isBlock(v.isObject() ? v.toObject().value(u"value") : v);
                const QString letters = v.isNull() || block ? QString() : answer(v, x, y);
                // The two grids must agree on the black squares; null is
                // an omitted answer, and so fits either.
                if ((block && !cell.black) || (!letters.isEmpty() && cell.black))
                    throw Refusal{QStringLiteral("the solution has %1 at %2 where the puzzle "
                                                 "has a %3 square")
                                      .arg(block ? u"a black square"_qs : u"a letter"_qs,
                                           squareName(x, y),
                                           cell.black ? u"black"_qs : u"white"_qs)};
                cell.solution = letters;
            }
        }
    }

    // One clue: [number, text] or an object with "number" and "clue".
    GridParts::Clue clue(const QJsonValue &v, const QString &direction, qsizetype k) const
    {
        QJsonValue number;
        QJsonValue text;
        if (v.isArray() && v.toArray().size() >= 2) {
            number = v.toArray().at(0);
            text = v.toArray().at(1);
        } else if (v.isObject()) {
            number = v.toObject().value(u"number");
            text = v.toObject().value(u"clue");
        } else {
            throw Refusal{QStringLiteral("%1 clue %2 gives no number").arg(direction).arg(k + 1)};
        }
        const std::optional<QString> numberShown = scalarText(number);
        if (!numberShown)
            throw Refusal{QStringLiteral("%1 clue %2 gives no number").arg(direction).arg(k + 1)};
        const std::optional<qint32> n = numberText(*numberShown);
        if (!n)
            throw Refusal{QStringLiteral("clue number \"%1\" is not a number").arg(*numberShown)};
        if (!text.isString() && !text.isNull() && !text.isUndefined())
            throw Refusal{QStringLiteral("the clue of %1 %2 is not a text").arg(*n).arg(direction)};
        return {*n, plainText(text.toString(), LineBreaks::Space)};
    }

    void readClues()
    {
        const QJsonObject clues = m_root.value(u"clues").toObject();
        for (auto it = clues.begin(); it != clues.end(); ++it) {
            // "Across", or "Across:Label" with the label the solver sees.
            const QString direction = it.key().section(u':', 0, 0).trimmed();
            QList<GridParts::Clue> *list = m_parts.clues(direction);
            if (!list)
                throw Refusal{QStringLiteral("the clue direction \"%1\" is neither Across nor Down")
                                  .arg(it.key())};
            if (!it.value().isArray())
                throw Refusal{QStringLiteral("the %1 clues are not a list").arg(direction)};
            const QJsonArray items = it.value().toArray();
            for (qsizetype k = 0; k < items.size(); ++k)
                list->append(clue(items.at(k), direction, k));
        }
    }

    QString text(QStringView key, LineBreaks breaks) const
    {
        return plainText(m_root.value(key).toString(), breaks);
    }

    const QJsonObject m_root;
    GridParts m_parts;
    QString m_block;
    QString m_empty;
};

// The JSON inside "ipuz(" and ")", the form ipuz files were first
// published in; plain JSON otherwise.
QByteArrayView unwrapped(QByteArrayView bytes)
{
    const QByteArrayView trimmed = bytes.trimmed();
    if (trimmed.startsWith("ipuz(") && trimmed.endsWith(")"))
        return trimmed.sliced(5, trimmed.size() - 6);
    return bytes;
}

} // namespace

ReadResult readIpuz(QByteArrayView bytes, const QString &fileName)
{
    ReadResult result;
    QByteArrayView json = unwrapped(bytes);
    // The byte-order mark is not JSON.
    if (json.startsWith("\xEF\xBB\xBF"))
        json = json.sliced(3);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) {
        result.error = QStringLiteral("malformed JSON at offset %1: %2")
                           .arg(error.offset + (json.data() - bytes.data()))
                           .arg(error.errorString());
        return result;
    }
    if (!doc.isObject()) {
        result.error = u"the JSON file is not an ipuz object"_qs;
        return result;
    }
    try {
        return assemblePuzzle(IpuzReader(doc.object()).read(), fileName);
    } catch (const Refusal &refusal) {
        result.error = refusal.reason;
        return result;
    }
}

} // namespace norvale
