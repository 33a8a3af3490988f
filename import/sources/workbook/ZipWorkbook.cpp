#include "import/sources/workbook/ZipWorkbook.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/workbook/OdsReader.h"
#include "import/sources/workbook/WorkbookBuilder.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/sources/workbook/XlsxReader.h"
#include "import/sources/workbook/ZipPackage.h"

#include <QDate>
#include <QFile>

#include <charconv>
#include <cmath>

namespace {

void readPackage(WorkbookFile &file, ZipPackage &package)
{
    WorkbookBuilder builder(file);
    ZipWorkbookLimits limits(package);
    if (OdsReader::isSpreadsheet(package)) {
        OdsReader(package, builder, limits).read();
    } else if (XlsxReader::isWorkbook(package)) {
        XlsxReader(package, builder, limits).read();
    } else {
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is neither an Excel nor an OpenDocument workbook"), package.fileName()));
    }
    builder.finish();
}

} // namespace

bool isZipWorkbook(const QByteArray &head)
{
    return ZipPackage::isZip(head);
}

bool looksLikeWorkbook(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(8);
    return isZipWorkbook(head) || head == QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

void openZipWorkbook(WorkbookFile &file, const QString &fileName)
{
    ZipPackage package(fileName);
    readPackage(file, package);
}

void openZipWorkbook(WorkbookFile &file, const QByteArray &bytes, const QString &fileName)
{
    ZipPackage package(bytes, fileName);
    readPackage(file, package);
}

// ---------------------------------------------------------------- limits

static_assert(ZipWorkbookLimits::MaxTextBytes == 7 * std::size_t(WorkbookBuilder::MaxTextLength));

ZipWorkbookLimits::ZipWorkbookLimits(const ZipPackage &package)
    : m_package(package)
{
}

bool ZipWorkbookLimits::admit(const QString &sheet, qint64 row, qint64 column, bool holdsData)
{
    if (row < 0 || column < 0 || row > WorkbookBuilder::MaxRow || column > WorkbookBuilder::MaxColumn) {
        if (!holdsData)
            return false;
        refuseCell(sheet, cellName(row, column));
    }
    reserve(1);
    ++m_cells;
    return true;
}

void ZipWorkbookLimits::reserve(qint64 count)
{
    if (count > MaxCells - m_cells)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 is refused: it holds more than %2 cells"), m_package.fileName(), QString::number(MaxCells)));
}

void ZipWorkbookLimits::checkText(const QString &sheet, qint64 row, qint64 column, qsizetype length) const
{
    if (length > WorkbookBuilder::MaxTextLength)
        throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 cannot be imported: cell %2 of sheet %3 holds more than %4 characters"), m_package.fileName(), cellName(row, column), sheet, QString::number(WorkbookBuilder::MaxTextLength)));
}

void ZipWorkbookLimits::refuseCell(const QString &sheet, const QString &cell) const
{
    throw ImportError(translatedText(ImportMessagesContext, QT_TRANSLATE_NOOP("ImportMessages", "File %1 cannot be imported: sheet %2 holds data in cell %3, beyond row 65536 or column IV"), m_package.fileName(), sheet, cell));
}

QString ZipWorkbookLimits::cellName(qint64 row, qint64 column)
{
    QString letters;
    for (qint64 n = column + 1; n > 0 && letters.size() < 8; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + int((n - 1) % 26)));
    return letters + QString::number(row + 1);
}

// ---------------------------------------------------------------- texts

namespace ZipXml {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

namespace {

std::string_view trimmed(std::string_view s)
{
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Digits only, at most maxDigits of them.
bool digits(std::string_view s, int &value, std::size_t minDigits, std::size_t maxDigits)
{
    if (s.size() < minDigits || s.size() > maxDigits)
        return false;
    value = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// "HH:MM[:SS[.fff]]" as a fraction of a day.
bool timeOfDay(std::string_view s, double &fraction)
{
    int h = 0, m = 0;
    double seconds = 0;
    if (s.size() < 5 || s[2] != ':' || !digits(s.substr(0, 2), h, 2, 2) || !digits(s.substr(3, 2), m, 2, 2))
        return false;
    s.remove_prefix(5);
    if (!s.empty() && s[0] == ':') {
        s.remove_prefix(1);
        const auto end = std::find_if(s.begin(), s.end(), [](char c) { return c != '.' && (c < '0' || c > '9'); });
        const std::string_view sec = s.substr(0, std::size_t(end - s.begin()));
        if (sec.empty() || sec[0] == '.' || std::from_chars(sec.data(), sec.data() + sec.size(), seconds).ptr != sec.data() + sec.size())
            return false;
        s.remove_prefix(sec.size());
    }
    // A zone (Z, +01:00) is left aside: the workbook shows local times.
    if (!s.empty() && s[0] != 'Z' && s[0] != '+' && s[0] != '-')
        return false;
    if (h > 24 || m > 59 || seconds >= 61)
        return false;
    fraction = (h * 3600.0 + m * 60.0 + seconds) / 86400.0;
    return true;
}

} // namespace

bool number(std::string_view text, double &value)
{
    std::string_view s = trimmed(text);
    if (!s.empty() && s[0] == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    return result.ec == std::errc() && result.ptr == s.data() + s.size() && std::isfinite(value);
}

bool integer(std::string_view text, qint64 &value)
{
    const std::string_view s = trimmed(text);
    if (s.empty())
        return false;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), value);
    return result.ec == std::errc() && result.ptr == s.data() + s.size();
}

bool isoDateTime(std::string_view text, double &days)
{
    const std::string_view s = trimmed(text);
    // A time alone is a time of day, on no date.
    if (s.size() >= 5 && s[2] == ':')
        return timeOfDay(s, days);
    int y = 0, mo = 0, d = 0;
    if (s.size() < 10 || s[4] != '-' || s[7] != '-' || !digits(s.substr(0, 4), y, 4, 4) || !digits(s.substr(5, 2), mo, 2, 2)
        || !digits(s.substr(8, 2), d, 2, 2))
        return false;
    const QDate date(y, mo, d);
    if (!date.isValid() || y < 1)
        return false;
    double fraction = 0;
    if (s.size() > 10) {
        if (s[10] != 'T' && s[10] != ' ')
            return false;
        if (!timeOfDay(s.substr(11), fraction))
            return false;
    }
    const double whole = double(QDate(1899, 12, 30).daysTo(date));
    // Before the zero date the time still counts forward from the day's start.
    days = whole >= 0 ? whole + fraction : whole - fraction;
    return true;
}

bool isoDuration(std::string_view text, double &days)
{
    std::string_view s = trimmed(text);
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty() || s[0] != 'P')
        return false;
    s.remove_prefix(1);
    double seconds = 0;
    bool inTime = false, any = false;
    while (!s.empty()) {
        if (s[0] == 'T') {
            if (inTime)
                return false;
            inTime = true;
            s.remove_prefix(1);
            continue;
        }
        double n = 0;
        const auto result = std::from_chars(s.data(), s.data() + s.size(), n);
        if (result.ec != std::errc() || result.ptr == s.data() || result.ptr == s.data() + s.size() || n < 0)
            return false;
        const char unit = *result.ptr;
        s.remove_prefix(std::size_t(result.ptr - s.data()) + 1);
        if (!inTime && unit == 'D')
            seconds += n * 86400.0;
        else if (inTime && unit == 'H')
            seconds += n * 3600.0;
        else if (inTime && unit == 'M')
            seconds += n * 60.0;
        else if (inTime && unit == 'S')
            seconds += n;
        else
            return false; // years and months are no fixed length of time
        any = true;
    }
    if (!any || !std::isfinite(seconds))
        return false;
    days = (negative ? -seconds : seconds) / 86400.0;
    return true;
}

} // namespace ZipXml
