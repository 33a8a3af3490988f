#include "import/sources/workbook/XlsxReader.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/WorkbookBuilder.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/sources/workbook/XmlSaxParser.h"
#include "import/sources/workbook/ZipPackage.h"
#include "import/sources/workbook/ZipWorkbook.h"

#include <QUrl>

#include <string>

namespace {

using ZipXml::text;

QString directoryOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : part.left(slash + 1);
}

// A relationship's target as a part name: relative to the folder of the
// part that names it, or absolute from the package's root.
QString resolveTarget(const QString &source, const QString &target)
{
    QString path = QUrl::fromPercentEncoding(target.toUtf8());
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        path = directoryOf(source) + path;
    QStringList out;
    for (const QString &element : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (element == QLatin1String("."))
            continue;
        if (element == QLatin1String("..")) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out << element;
    }
    return out.join(QLatin1Char('/'));
}

QString relationshipsPart(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return directoryOf(part) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

bool isTrue(std::string_view v)
{
    return v == "1" || v == "true" || v == "on";
}

// "_xHHHH_" stands for the character HHHH (how the format stores
// characters XML cannot hold, a carriage return among them); "_x005F_"
// escapes the underscore of what would otherwise read as an escape.
QString unescapedText(std::string_view utf8)
{
    QString s = text(utf8);
    if (utf8.find("_x") == std::string_view::npos)
        return s;
    auto hex = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= '0' && u <= '9' ? u - '0' : u >= 'a' && u <= 'f' ? u - 'a' + 10 : u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
    };
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'_' && i + 6 < s.size() && s[i + 1] == u'x' && s[i + 6] == u'_') {
            int code = 0;
            bool ok = true;
            for (int k = 2; k < 6 && ok; ++k) {
                const int digit = hex(s[i + k]);
                ok = digit >= 0;
                code = code * 16 + digit;
            }
            if (ok) {
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// ---------------------------------------------------------------- small parts

class RelationshipsHandler : public XmlHandler
{
public:
    RelationshipsHandler(const QString &source, QHash<QString, XlsxReader::Relationship> &out)
        : m_source(source)
        , m_out(out)
    {
    }
    void startElement(std::string_view name, std::string_view, const XmlAttributes &a) override
    {
        if (name != "Relationship")
            return;
        const auto id = a.value("Id"), type = a.value("Type"), target = a.value("Target");
        if (!id || !type || !target || a.value("TargetMode").value_or("") == "External")
            return;
        const QString t = text(*type);
        m_out.insert(text(*id), { t.mid(t.lastIndexOf(QLatin1Char('/')) + 1), resolveTarget(m_source, text(*target)) });
    }
    void endElement(std::string_view, std::string_view) override { }

private:
    QString m_source;
    QHash<QString, XlsxReader::Relationship> &m_out;
};

struct SheetEntry
{
    QString name;
    QString id;
    bool hidden = false;
};

class WorkbookHandler : public XmlHandler
{
public:
    bool isWorkbook = false;
    bool dates1904 = false;
    std::vector<SheetEntry> sheets;

    void startElement(std::string_view name, std::string_view, const XmlAttributes &a) override
    {
        if (m_depth++ == 0)
            isWorkbook = name == "workbook";
        if (!isWorkbook)
            return;
        if (name == "workbookPr") {
            dates1904 = isTrue(a.value("date1904").value_or(""));
        } else if (name == "sheet") {
            SheetEntry e;
            e.name = text(a.value("name").value_or(""));
            const std::string_view state = a.value("state").value_or("visible");
            e.hidden = state == "hidden" || state == "veryHidden";
            // r:id, in the transitional or the strict relationships namespace.
            for (int i = 0; i < a.count(); ++i)
                if (a.localName(i) == "id" && a.uri(i).ends_with("relationships"))
                    e.id = text(a.value(i));
            sheets.push_back(e);
        }
    }
    void endElement(std::string_view, std::string_view) override { --m_depth; }

private:
    int m_depth = 0;
};

class StylesHandler : public XmlHandler
{
public:
    std::vector<int> xfFormats; // number format of each cell format
    QHash<int, QString> formats;

    void startElement(std::string_view name, std::string_view, const XmlAttributes &a) override
    {
        if (name == "numFmts") {
            m_inFormats = true;
        } else if (name == "cellXfs") {
            m_inXfs = true;
        } else if (name == "numFmt" && m_inFormats) {
            qint64 id = 0;
            if (ZipXml::integer(a.value("numFmtId").value_or(""), id) && id >= 0 && id <= 0xFFFF)
                formats.insert(int(id), text(a.value("formatCode").value_or("")));
        } else if (name == "xf" && m_inXfs) {
            qint64 id = 0;
            if (!ZipXml::integer(a.value("numFmtId").value_or("0"), id) || id < 0 || id > 0xFFFF)
                id = 0;
            xfFormats.push_back(int(id));
        }
    }
    void endElement(std::string_view name, std::string_view) override
    {
        if (name == "numFmts")
            m_inFormats = false;
        else if (name == "cellXfs")
            m_inXfs = false;
    }

private:
    bool m_inFormats = false;
    bool m_inXfs = false;
};

// The strings of <si> items: their own <t>, or the <t> of their runs;
// phonetic readings (<rPh>) are not part of the text.
class SharedStringsHandler : public XmlHandler
{
public:
    SharedStringsHandler(WorkbookBuilder &builder, const ZipPackage &package)
        : m_builder(builder)
        , m_package(package)
    {
    }
    int count = 0;

    void startElement(std::string_view name, std::string_view, const XmlAttributes &) override
    {
        if (name == "si") {
            m_inItem = true;
            m_text.clear();
        } else if (name == "rPh") {
            ++m_phonetic;
        } else if (name == "t" && m_inItem && m_phonetic == 0) {
            m_inText = true;
        }
    }
    void endElement(std::string_view name, std::string_view) override
    {
        if (name == "t") {
            m_inText = false;
        } else if (name == "rPh") {
            --m_phonetic;
        } else if (name == "si" && m_inItem) {
            const QString s = unescapedText(m_text);
            if (s.size() > WorkbookBuilder::MaxTextLength)
                tooLong();
            m_builder.addString(s);
            ++count;
            m_inItem = false;
        }
    }
    void characters(std::string_view t) override
    {
        if (!m_inText)
            return;
        m_text.append(t);
        if (m_text.size() > ZipWorkbookLimits::MaxTextBytes)
            tooLong();
    }

private:
    [[noreturn]] void tooLong() const
    {
        m_package.damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "shared string %1 holds more than %2 characters"), QString::number(count), QString::number(WorkbookBuilder::MaxTextLength)));
    }

    WorkbookBuilder &m_builder;
    const ZipPackage &m_package;
    std::string m_text;
    bool m_inItem = false;
    bool m_inText = false;
    int m_phonetic = 0;
};

// ---------------------------------------------------------------- worksheets

// A column's letters and a row's digits ("AB12") as 0-based positions.
bool parseReference(std::string_view r, qint64 &row, qint64 &column)
{
    std::size_t i = 0;
    qint64 col = 0;
    while (i < r.size() && i < 3) {
        char c = r[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            break;
        col = col * 26 + (c - 'A' + 1);
        ++i;
    }
    if (i == 0 || i == r.size() || r.size() - i > 7)
        return false;
    qint64 number = 0;
    for (std::size_t k = i; k < r.size(); ++k) {
        if (r[k] < '0' || r[k] > '9')
            return false;
        number = number * 10 + (r[k] - '0');
    }
    if (number < 1)
        return false;
    row = number - 1;
    column = col - 1;
    return true;
}

enum class CellType { Number, SharedString, String, InlineString, Boolean, Error, Date };

CellType cellType(std::string_view t)
{
    if (t == "s")
        return CellType::SharedString;
    if (t == "str")
        return CellType::String;
    if (t == "inlineStr")
        return CellType::InlineString;
    if (t == "b")
        return CellType::Boolean;
    if (t == "e")
        return CellType::Error;
    if (t == "d")
        return CellType::Date;
    return CellType::Number;
}

class SheetHandler : public XmlHandler
{
public:
    struct Context
    {
        ZipPackage &package;
        WorkbookBuilder &builder;
        ZipWorkbookLimits &limits;
        const std::vector<bool> &dateXf;
        int &dateTimeXf;
        int firstString;
        int stringCount;
    };

    SheetHandler(const Context &context, XlsWorkSheet *sheet, const QString &name)
        : m_m(context)
        , m_sheet(sheet)
        , m_name(name)
    {
    }

    void startElement(std::string_view name, std::string_view, const XmlAttributes &a) override
    {
        if (!m_inData) {
            m_inData = name == "sheetData";
            return;
        }
        switch (name.size()) {
        case 1:
            if (name[0] == 'c')
                startCell(a);
            else if (name[0] == 'v' && m_inCell) {
                m_inValue = true;
                m_hasValue = true;
                m_value.clear();
            } else if (name[0] == 'f' && m_inCell)
                m_hasFormula = true;
            else if (name[0] == 't' && m_inInline && m_phonetic == 0)
                m_inText = true;
            break;
        case 2:
            if (name == "is" && m_inCell) {
                m_inInline = true;
                m_hasInline = true;
            }
            break;
        case 3:
            if (name == "row")
                startRow(a);
            else if (name == "rPh")
                ++m_phonetic;
            break;
        default:
            break;
        }
    }

    void endElement(std::string_view name, std::string_view) override
    {
        if (!m_inData)
            return;
        switch (name.size()) {
        case 1:
            if (name[0] == 'c' && m_inCell)
                endCell();
            else if (name[0] == 'v')
                m_inValue = false;
            else if (name[0] == 't')
                m_inText = false;
            break;
        case 2:
            if (name == "is")
                m_inInline = false;
            break;
        case 3:
            if (name == "rPh")
                --m_phonetic;
            break;
        case 9:
            if (name == "sheetData")
                m_inData = false;
            break;
        default:
            break;
        }
    }

    void characters(std::string_view t) override
    {
        std::string *gathered = m_inValue ? &m_value : m_inText ? &m_inlineText : nullptr;
        if (!gathered)
            return;
        gathered->append(t);
        if (gathered->size() > ZipWorkbookLimits::MaxTextBytes) {
            if (!m_badReference.isEmpty())
                m_m.limits.refuseCell(m_name, m_badReference);
            m_m.limits.checkText(m_name, m_cellRow, m_cellColumn, WorkbookBuilder::MaxTextLength + 1);
        }
    }

private:
    void startRow(const XmlAttributes &a)
    {
        qint64 r = 0;
        const auto attribute = a.value("r");
        m_row = attribute && ZipXml::integer(*attribute, r) && r >= 1 ? r - 1 : m_row + 1;
        m_nextColumn = 0;
    }

    void startCell(const XmlAttributes &a)
    {
        m_inCell = true;
        m_hasValue = m_hasFormula = m_hasInline = false;
        m_type = CellType::Number;
        m_xf = 0;
        m_inlineText.clear();
        m_badReference.clear();
        qint64 row = m_row < 0 ? 0 : m_row, column = m_nextColumn;
        for (int i = 0; i < a.count(); ++i) {
            const std::string_view n = a.localName(i);
            if (n.size() != 1)
                continue;
            if (n[0] == 'r') {
                // A cell without a reference follows the one before; one
                // whose reference names no cell of a sheet cannot be placed.
                qint64 r = 0, c = 0;
                if (parseReference(a.value(i), r, c)) {
                    row = r;
                    column = c;
                } else if (!a.value(i).empty()) {
                    m_badReference = text(a.value(i).substr(0, 32));
                }
            } else if (n[0] == 's') {
                qint64 xf = 0;
                m_xf = ZipXml::integer(a.value(i), xf) && xf >= 0 && xf < qint64(m_m.dateXf.size()) ? int(xf) : 0;
            } else if (n[0] == 't') {
                m_type = cellType(a.value(i));
            }
        }
        if (!m_badReference.isEmpty())
            return; // where it stands is unknown: the cells after it keep their place
        m_row = row;
        m_cellRow = row;
        m_cellColumn = column;
        m_nextColumn = column + 1;
    }

    QString valueText() const { return unescapedText(m_value); }

    QString inlineText() const { return unescapedText(m_inlineText); }

    int sharedString(bool &ok) const
    {
        qint64 index = 0;
        ok = ZipXml::integer(m_value, index) && index >= 0 && index < m_m.stringCount;
        if (!ok && !m_value.empty())
            m_m.package.damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "cell %1 of sheet %2 names shared string %3, which does not exist"), ZipWorkbookLimits::cellName(m_cellRow, m_cellColumn), m_name, text(m_value)));
        return m_m.firstString + int(index);
    }

    void addText(const QString &s)
    {
        m_m.limits.checkText(m_name, m_cellRow, m_cellColumn, s.size());
        m_m.builder.addString(m_sheet, int(m_cellRow), int(m_cellColumn), m_xf, m_m.builder.addString(s));
    }

    void endCell()
    {
        m_inCell = m_inValue = m_inInline = m_inText = false;
        const bool hasValue = m_hasValue && !m_value.empty();
        const bool holdsData = m_hasFormula || hasValue || (m_type == CellType::InlineString && m_hasInline);
        if (!m_badReference.isEmpty()) {
            // Formatting of no cell is nothing to import.
            if (holdsData)
                m_m.limits.refuseCell(m_name, m_badReference);
            return;
        }
        if (!m_m.limits.admit(m_name, m_cellRow, m_cellColumn, holdsData))
            return;
        const int row = int(m_cellRow), column = int(m_cellColumn);
        if (m_hasFormula) {
            m_m.builder.addFormula(m_sheet, row, column, m_xf, cachedResult(hasValue));
            return;
        }
        if (m_type == CellType::InlineString && m_hasInline) {
            addText(inlineText());
            return;
        }
        if (!hasValue) {
            m_m.builder.addBlank(m_sheet, row, column, m_xf);
            return;
        }
        double number = 0;
        switch (m_type) {
        case CellType::SharedString: {
            bool ok = false;
            const int index = sharedString(ok);
            m_m.builder.addString(m_sheet, row, column, m_xf, index);
            return;
        }
        case CellType::String:
        case CellType::InlineString:
            addText(valueText());
            return;
        case CellType::Boolean:
            if (m_value == "1" || m_value == "true" || m_value == "0" || m_value == "false") {
                m_m.builder.addBoolean(m_sheet, row, column, m_xf, m_value == "1" || m_value == "true");
                return;
            }
            break;
        case CellType::Error: {
            const int code = Xls::errorCode(valueText());
            if (code >= 0) {
                m_m.builder.addError(m_sheet, row, column, m_xf, quint8(code));
                return;
            }
            break; // an error this program does not know keeps its text
        }
        case CellType::Date:
            if (ZipXml::isoDateTime(m_value, number)) {
                if (m_m.builder.dates1904())
                    number -= 1462.0;
                m_m.builder.addNumber(m_sheet, row, column, dateXf(), number);
                return;
            }
            break;
        case CellType::Number:
            if (ZipXml::number(m_value, number)) {
                m_m.builder.addNumber(m_sheet, row, column, m_xf, number);
                return;
            }
            break;
        }
        // A value that does not read as its type is kept as the text it is.
        addText(valueText());
    }

    // The format of an ISO date cell: its own when it shows a date, else one
    // that does.
    int dateXf()
    {
        if (std::size_t(m_xf) < m_m.dateXf.size() && m_m.dateXf[std::size_t(m_xf)])
            return m_xf;
        if (m_m.dateTimeXf < 0)
            m_m.dateTimeXf = m_m.builder.addXf(22);
        return m_m.dateTimeXf;
    }

    QVariant cachedResult(bool hasValue) const
    {
        if (m_type == CellType::InlineString && m_hasInline)
            return inlineText();
        if (!hasValue)
            return QVariant();
        double number = 0;
        switch (m_type) {
        case CellType::Number:
            return ZipXml::number(m_value, number) ? QVariant(number) : QVariant(valueText());
        case CellType::String:
        case CellType::InlineString:
            return valueText();
        case CellType::SharedString: {
            bool ok = false;
            const int index = sharedString(ok);
            return ok ? QVariant(m_m.builder.string(index)) : QVariant();
        }
        case CellType::Boolean:
            return QVariant(m_value == "1" || m_value == "true");
        case CellType::Date:
            if (ZipXml::isoDateTime(m_value, number))
                return number - (m_m.builder.dates1904() ? 1462.0 : 0.0);
            return valueText();
        case CellType::Error:
            break; // an error gives no result, as in BIFF8
        }
        return QVariant();
    }

    Context m_m;
    XlsWorkSheet *m_sheet;
    QString m_name;
    bool m_inData = false;
    bool m_inCell = false;
    bool m_inValue = false;
    bool m_inInline = false;
    bool m_inText = false;
    int m_phonetic = 0;
    bool m_hasValue = false;
    bool m_hasFormula = false;
    bool m_hasInline = false;
    CellType m_type = CellType::Number;
    int m_xf = 0;
    qint64 m_row = -1;
    qint64 m_nextColumn = 0;
    qint64 m_cellRow = 0;
    qint64 m_cellColumn = 0;
    std::string m_value;
    std::string m_inlineText;
    QString m_badReference; // a cell's reference that names no cell of a sheet, as written
};

} // namespace

XlsxReader::XlsxReader(ZipPackage &package, WorkbookBuilder &builder, ZipWorkbookLimits &limits)
    : m_package(package)
    , m_builder(builder)
    , m_limits(limits)
{
}

namespace {

// The workbook part: where the package's relationships say, or where
// every writer puts it.
QString workbookPart(const ZipPackage &package, const QHash<QString, XlsxReader::Relationship> &root)
{
    for (const XlsxReader::Relationship &r : root)
        if (r.type == QLatin1String("officeDocument") && package.contains(r.target))
            return r.target;
    for (const char *name : { "xl/workbook.xml", "workbook.xml" })
        if (package.contains(QLatin1String(name)))
            return QLatin1String(name);
    return QString();
}

} // namespace

QHash<QString, XlsxReader::Relationship> XlsxReader::relationships(const QString &part)
{
    QHash<QString, Relationship> out;
    const QString rels = part.isEmpty() ? QStringLiteral("_rels/.rels") : relationshipsPart(part);
    if (!m_package.contains(rels))
        return out;
    RelationshipsHandler handler(part, out);
    m_package.parse(rels, handler);
    return out;
}

bool XlsxReader::isWorkbook(const ZipPackage &package)
{
    // Without parsing: the officeDocument part is most often here, and the
    // reader looks for it properly.
    return package.contains(QStringLiteral("_rels/.rels")) || package.contains(QStringLiteral("xl/workbook.xml"))
        || package.contains(QStringLiteral("workbook.xml"));
}

void XlsxReader::read()
{
    const QString workbook = workbookPart(m_package, relationships(QString()));
    if (workbook.isEmpty())
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is neither an Excel nor an OpenDocument workbook"), m_package.fileName()));
    if (workbook.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is an Excel binary workbook (.xlsb): save it as .xlsx to import it"), m_package.fileName()));
    const QHash<QString, Relationship> rels = relationships(workbook);

    WorkbookHandler book;
    m_package.parse(workbook, book);
    if (!book.isWorkbook)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is neither an Excel nor an OpenDocument workbook"), m_package.fileName()));
    m_builder.setDates1904(book.dates1904);

    auto partOfType = [&](const char *type, const char *usual) {
        for (const Relationship &r : rels)
            if (r.type == QLatin1String(type))
                return r.target;
        const QString fallback = directoryOf(workbook) + QLatin1String(usual);
        return m_package.contains(fallback) ? fallback : QString();
    };
    if (const QString styles = partOfType("styles", "styles.xml"); !styles.isEmpty())
        readStyles(styles);
    if (const QString strings = partOfType("sharedStrings", "sharedStrings.xml"); !strings.isEmpty())
        readSharedStrings(strings);

    for (const SheetEntry &entry : book.sheets) {
        const auto it = rels.constFind(entry.id);
        if (it == rels.constEnd())
            m_package.damaged(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "sheet %1 has no part"), entry.name));
        // Chart, dialog and macro sheets hold no cells to import.
        if (it->type != QLatin1String("worksheet"))
            continue;
        readSheet(it->target, entry.name, entry.hidden);
    }
}

void XlsxReader::readStyles(const QString &part)
{
    StylesHandler styles;
    m_package.parse(part, styles);
    for (auto it = styles.formats.cbegin(); it != styles.formats.cend(); ++it)
        m_builder.addFormat(it.key(), it.value());
    for (const int format : styles.xfFormats) {
        m_builder.addXf(format);
        // The date test of BIFF8 workbooks, known here for ISO date cells.
        const auto custom = styles.formats.constFind(format);
        m_dateXf.push_back(custom != styles.formats.cend() ? Xls::isDateFormatString(*custom) : format >= 14 && format <= 22);
    }
}

void XlsxReader::readSharedStrings(const QString &part)
{
    m_firstString = m_builder.stringCount();
    SharedStringsHandler strings(m_builder, m_package);
    m_package.parse(part, strings);
    m_stringCount = strings.count;
}

void XlsxReader::readSheet(const QString &part, const QString &name, bool hidden)
{
    XlsWorkSheet *sheet = m_builder.addWorkSheet(name, hidden);
    const SheetHandler::Context context { m_package, m_builder, m_limits, m_dateXf, m_dateTimeXf, m_firstString, m_stringCount };
    SheetHandler handler(context, sheet, name);
    m_package.parse(part, handler);
}
