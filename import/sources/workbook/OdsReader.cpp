#include "import/sources/workbook/OdsReader.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookBuilder.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/sources/workbook/XmlSaxParser.h"
#include "import/sources/workbook/ZipPackage.h"
#include "import/sources/workbook/ZipWorkbook.h"

#include <QSet>
#include <QVariant>

#include <string>
#include <vector>

namespace {

using ZipXml::text;

constexpr qsizetype MaxSmallPart = 4 * 1024 * 1024;

bool isNamespace(std::string_view uri, const char *name)
{
    // urn:oasis:names:tc:opendocument:xmlns:<name>:1.0, and LibreOffice's
    // urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0
    const std::string middle = std::string(":") + name + ":";
    return uri.find(middle) != std::string_view::npos;
}

// A repeat count: 1 when absent or not a positive number.
qint64 repeatCount(const XmlAttributes &a, std::string_view name)
{
    qint64 n = 1;
    const auto value = a.value(name);
    if (!value || !ZipXml::integer(*value, n) || n < 1)
        return 1;
    return std::min<qint64>(n, qint64(1) << 31);
}

enum class Kind { Empty, Blank, Number, Date, Time, Boolean, String, Error };

// One cell of the current row, repeated count times from column.
struct PendingCell
{
    qint64 column = 0;
    qint64 count = 1;
    bool formula = false;
    Kind kind = Kind::Empty;
    double number = 0;
    bool flag = false;
    int stringIndex = -1;
    QVariant result; // of a formula
};

class ContentHandler : public XmlHandler
{
public:
    ContentHandler(WorkbookBuilder &builder, ZipWorkbookLimits &limits)
        : m_builder(builder)
        , m_limits(limits)
    {
        m_generalXf = m_builder.addXf(0);
        m_dateXf = m_builder.addXf(22);
    }

    bool sawSpreadsheet() const { return m_sawSpreadsheet; }

    void startElement(std::string_view name, std::string_view uri, const XmlAttributes &a) override
    {
        if (m_skip > 0) {
            ++m_skip;
            return;
        }
        if (!m_inBody) {
            // The automatic styles come first: those of hidden tables.
            if (name == "spreadsheet" && isNamespace(uri, "office"))
                m_inBody = m_sawSpreadsheet = true;
            else if (name == "style" && isNamespace(uri, "style"))
                m_style = a.value("family").value_or("") == "table" ? text(a.value("name").value_or("")) : QString();
            else if (name == "table-properties" && !m_style.isEmpty() && a.value("display").value_or("") == "false")
                m_hiddenStyles.insert(m_style);
            return;
        }
        if (!m_sheet) {
            if (name == "table" && isNamespace(uri, "table"))
                startTable(a);
            else
                ++m_skip; // named ranges, database ranges and the like
            return;
        }
        if (!m_inRow) {
            if (name == "table-row")
                startRow(a);
            else if (name != "table-row-group" && name != "table-header-rows" && name != "table-rows")
                ++m_skip; // columns, shapes, nested forms
            return;
        }
        if (!m_inCell) {
            if (name == "table-cell" || name == "covered-table-cell")
                startCell(name, a);
            else
                ++m_skip;
            return;
        }
        const bool textElement = isNamespace(uri, "text");
        if (m_paragraph == 0) {
            if (textElement && (name == "p" || name == "h")) {
                if (m_paragraphs++ > 0)
                    m_text += '\n';
                m_paragraph = 1;
            } else if (!(textElement && (name == "list" || name == "list-item" || name == "list-header"))) {
                ++m_skip; // annotations, drawings
            }
            return;
        }
        if (!textElement || name == "note" || name == "ruby-text") {
            ++m_skip;
        } else if (name == "s") {
            m_text.append(std::size_t(std::min<qint64>(repeatCount(a, "c"), WorkbookBuilder::MaxTextLength + 1)), ' ');
            ++m_skip;
        } else if (name == "tab") {
            m_text += '\t';
            ++m_skip;
        } else if (name == "line-break") {
            m_text += '\n';
            ++m_skip;
        } else {
            ++m_paragraph; // spans, links and fields show their text
        }
        if (m_text.size() > std::size_t(4 * WorkbookBuilder::MaxTextLength))
            tooLong();
    }

    void endElement(std::string_view name, std::string_view uri) override
    {
        if (!m_inBody && name == "style" && isNamespace(uri, "style"))
            m_style.clear();
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        if (m_paragraph > 0) {
            --m_paragraph;
            return;
        }
        if (m_inCell) {
            if (name == "table-cell" || name == "covered-table-cell")
                endCell();
            return;
        }
        if (m_inRow) {
            if (name == "table-row")
                endRow();
            return;
        }
        if (m_sheet) {
            if (name == "table")
                m_sheet = nullptr;
            return;
        }
        if (m_inBody && name == "spreadsheet")
            m_inBody = false;
    }

    void characters(std::string_view t) override
    {
        if (m_paragraph > 0 && m_skip == 0) {
            m_text.append(t);
            if (m_text.size() > std::size_t(4 * WorkbookBuilder::MaxTextLength))
                tooLong();
        }
    }

private:
    void startTable(const XmlAttributes &a)
    {
        m_sheetName = text(a.value("name").value_or(""));
        m_sheet = m_builder.addWorkSheet(m_sheetName, m_hiddenStyles.contains(text(a.value("style-name").value_or(""))));
        m_row = 0;
    }

    void startRow(const XmlAttributes &a)
    {
        m_inRow = true;
        m_rowRepeat = repeatCount(a, "number-rows-repeated");
        m_column = 0;
        m_cells.clear();
    }

    void startCell(std::string_view name, const XmlAttributes &a)
    {
        m_inCell = true;
        m_covered = name == "covered-table-cell";
        m_text.clear();
        m_paragraphs = 0;
        m_cell = PendingCell();
        m_cell.column = m_column;
        m_cell.count = repeatCount(a, "number-columns-repeated");
        m_valueType = {};
        m_error = false;
        m_value = m_dateValue = m_timeValue = m_booleanValue = std::nullopt;
        m_stringValue.reset();
        for (int i = 0; i < a.count(); ++i) {
            const std::string_view n = a.localName(i), uri = a.uri(i);
            if (n == "value-type") {
                if (isNamespace(uri, "office"))
                    m_valueType = std::string(a.value(i));
                else if (isNamespace(uri, "calcext") && a.value(i) == "error")
                    m_error = true;
            } else if (!isNamespace(uri, "office")) {
                if (n == "formula" && isNamespace(uri, "table"))
                    m_cell.formula = true;
            } else if (n == "value") {
                m_value = std::string(a.value(i));
            } else if (n == "date-value") {
                m_dateValue = std::string(a.value(i));
            } else if (n == "time-value") {
                m_timeValue = std::string(a.value(i));
            } else if (n == "boolean-value") {
                m_booleanValue = std::string(a.value(i));
            } else if (n == "string-value") {
                m_stringValue = text(a.value(i));
            }
        }
    }

    QString cellText() const { return m_stringValue ? *m_stringValue : text(m_text); }

    // The cell's value by its type; false when it holds none.
    bool value(PendingCell &c, QString &string)
    {
        const std::string &type = m_valueType;
        if (m_error) {
            c.kind = Kind::Error;
            string = text(m_text);
            return true;
        }
        if (type == "float" || type == "percentage" || type == "currency") {
            if (m_value && ZipXml::number(*m_value, c.number)) {
                c.kind = Kind::Number;
                return true;
            }
        } else if (type == "date") {
            if (m_dateValue && ZipXml::isoDateTime(*m_dateValue, c.number)) {
                c.kind = Kind::Date;
                return true;
            }
        } else if (type == "time") {
            if (m_timeValue && ZipXml::isoDuration(*m_timeValue, c.number)) {
                c.kind = Kind::Time;
                return true;
            }
        } else if (type == "boolean") {
            if (m_booleanValue && (*m_booleanValue == "true" || *m_booleanValue == "false")) {
                c.kind = Kind::Boolean;
                c.flag = *m_booleanValue == "true";
                return true;
            }
        } else if (type.empty() && m_text.empty() && !m_stringValue) {
            return false;
        }
        // A string, a cell with text but no type, or a value that does not
        // read as its type: the text shown.
        c.kind = Kind::String;
        string = cellText();
        return true;
    }

    void endCell()
    {
        m_inCell = false;
        m_column += m_cell.count;
        // A covered cell belongs to the merged area of a cell before it,
        // which holds the value; it is a blank cell, as in a BIFF8 workbook.
        if (m_covered) {
            m_cell.kind = Kind::Blank;
            m_cell.formula = false;
            m_cells.push_back(m_cell);
            return;
        }
        QString string;
        if (!value(m_cell, string)) {
            if (m_cell.formula) {
                m_cell.kind = Kind::Empty;
                m_cells.push_back(m_cell);
            }
            return;
        }
        if (m_cell.kind == Kind::String || m_cell.kind == Kind::Error) {
            m_limits.checkText(m_sheetName, m_row, m_cell.column, string.size());
            if (m_cell.formula)
                m_cell.result = m_cell.kind == Kind::Error ? QVariant() : QVariant(string);
            else if (const int code = m_cell.kind == Kind::Error ? Xls::errorCode(string) : -1; code >= 0)
                m_cell.number = code;
            else {
                m_cell.kind = Kind::String;
                m_cell.stringIndex = m_builder.addString(string);
            }
        } else if (m_cell.formula) {
            m_cell.result = m_cell.kind == Kind::Boolean ? QVariant(m_cell.flag) : QVariant(m_cell.number);
        }
        m_cells.push_back(m_cell);
    }

    void endRow()
    {
        m_inRow = false;
        const qint64 rows = m_rowRepeat;
        const qint64 first = m_row;
        m_row += rows;
        if (m_cells.empty())
            return;
        qint64 perRow = 0;
        for (const PendingCell &c : m_cells) {
            perRow += c.count;
            if (perRow > ZipWorkbookLimits::MaxCells)
                break;
        }
        // Before any copy: a repeat that would pass the limit is refused
        // without being made.
        if (perRow > ZipWorkbookLimits::MaxCells || rows > ZipWorkbookLimits::MaxCells / perRow)
            m_limits.reserve(ZipWorkbookLimits::MaxCells + 1);
        m_limits.reserve(rows * perRow);
        for (qint64 r = first; r < first + rows; ++r)
            for (const PendingCell &c : m_cells)
                for (qint64 k = 0; k < c.count; ++k)
                    add(c, r, c.column + k);
    }

    void add(const PendingCell &c, qint64 row, qint64 column)
    {
        if (!m_limits.admit(m_sheetName, row, column, c.kind != Kind::Blank))
            return;
        const int r = int(row), col = int(column);
        if (c.formula) {
            m_builder.addFormula(m_sheet, r, col, c.kind == Kind::Date || c.kind == Kind::Time ? m_dateXf : m_generalXf, c.result);
            return;
        }
        switch (c.kind) {
        case Kind::Number:
            m_builder.addNumber(m_sheet, r, col, m_generalXf, c.number);
            break;
        case Kind::Date:
        case Kind::Time:
            m_builder.addNumber(m_sheet, r, col, m_dateXf, c.number);
            break;
        case Kind::Boolean:
            m_builder.addBoolean(m_sheet, r, col, m_generalXf, c.flag);
            break;
        case Kind::Error:
            m_builder.addError(m_sheet, r, col, m_generalXf, quint8(c.number));
            break;
        case Kind::String:
            m_builder.addString(m_sheet, r, col, m_generalXf, c.stringIndex);
            break;
        case Kind::Blank:
            m_builder.addBlank(m_sheet, r, col, m_generalXf);
            break;
        case Kind::Empty:
            break;
        }
    }

    [[noreturn]] void tooLong() const
    {
        m_limits.checkText(m_sheetName, m_row, m_column, WorkbookBuilder::MaxTextLength + 1);
        throw ImportError(QString()); // not reached
    }

    WorkbookBuilder &m_builder;
    ZipWorkbookLimits &m_limits;
    QString m_style;
    QSet<QString> m_hiddenStyles;
    int m_generalXf = 0;
    int m_dateXf = 0;

    int m_skip = 0;
    bool m_inBody = false;
    bool m_sawSpreadsheet = false;
    XlsWorkSheet *m_sheet = nullptr;
    QString m_sheetName;
    qint64 m_row = 0;
    bool m_inRow = false;
    qint64 m_rowRepeat = 1;
    qint64 m_column = 0;
    std::vector<PendingCell> m_cells;

    bool m_inCell = false;
    bool m_covered = false;
    PendingCell m_cell;
    std::string m_valueType;
    bool m_error = false;
    std::optional<std::string> m_value, m_dateValue, m_timeValue, m_booleanValue;
    std::optional<QString> m_stringValue;
    std::string m_text;
    int m_paragraph = 0;
    int m_paragraphs = 0;
};

} // namespace

OdsReader::OdsReader(ZipPackage &package, WorkbookBuilder &builder, ZipWorkbookLimits &limits)
    : m_package(package)
    , m_builder(builder)
    , m_limits(limits)
{
}

bool OdsReader::isSpreadsheet(ZipPackage &package)
{
    if (!package.contains(QStringLiteral("mimetype")))
        return false;
    const QByteArray type = package.read(QStringLiteral("mimetype"), 256).trimmed();
    return type.startsWith("application/vnd.oasis.opendocument.spreadsheet");
}

void OdsReader::read()
{
    // An encrypted document's parts are no XML: say why rather than how.
    const QString manifest = QStringLiteral("META-INF/manifest.xml");
    if (m_package.contains(manifest) && m_package.read(manifest, MaxSmallPart).contains("encryption-data"))
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is protected by a password"), m_package.fileName()));

    ContentHandler handler(m_builder, m_limits);
    m_package.parse(QStringLiteral("content.xml"), handler);
    if (!handler.sawSpreadsheet())
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is neither an Excel nor an OpenDocument workbook"), m_package.fileName()));
}
