#include "import/sources/dbf/DbfImport.h"

#include "core/DateTime.h"
#include "core/Formatting.h"
#include "import/sources/dbf/DbfReader.h"

#include <algorithm>
#include <limits>

namespace {

// A dBase date (digits YYYYMMDD) as the import's settings write dates, so that
// the conversion reads it back. Anything else is left as it is, for the
// conversion to refuse with its own message rather than pass as a date.
QString dbfDate(const QString &text)
{
    if (text.size() != 8)
        return text;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return text;
    double date = 0;
    if (!DateTime::tryEncodeDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt(), date))
        return text;
    return dateToStr(date);
}

} // namespace

DbfImport::DbfImport() = default;
DbfImport::~DbfImport() = default;

void DbfImport::prepareImport()
{
    m_table = std::make_unique<DbfReader>(fileName());
    setTotalRecords(int(std::min<qint64>(m_table->recordCount(), std::numeric_limits<int>::max())));
    try {
        ImportEngine::prepareImport();
    } catch (...) {
        m_table.reset();
        throw;
    }
}

void DbfImport::openSource()
{
    m_sources.clear();
    for (int i = 0; i < map().size(); ++i)
        m_sources[mapValue(i).trimmed().toUpper()] << i;
    m_columns.assign(size_t(map().size()), nullptr);
    for (int i = 0; i < row().count(); ++i) {
        ImportColumn *col = row().at(i);
        if (isMappedColumn(col))
            m_columns[size_t(col->mapIndex)] = col;
    }
}

bool DbfImport::hasMoreRows()
{
    return !m_table->endOfTable();
}

void DbfImport::fillImportRow()
{
    for (int i = 0; i < row().count(); ++i)
        row().at(i)->value.clear();
    m_filled.assign(m_columns.size(), 0);
    const int fields = m_table->fieldCount();
    for (int f = 0; f < fields; ++f) {
        const QString text = m_table->readField(f).trimmed();
        const auto it = m_sources.constFind(m_table->fieldName(f));
        if (it == m_sources.constEnd())
            continue;
        // Every map line that names the field: one field may fill several columns.
        for (int line : *it) {
            ImportColumn *col = m_columns[size_t(line)];
            if (!col)
                continue;
            setValue(col, m_table->fieldType(f) == 'D' && !text.isEmpty() ? dbfDate(text) : text);
            applyFieldFormat(col);
            m_filled[size_t(line)] = 1;
        }
    }
    // Columns no field filled (counters, constants, fields the table lacks)
    // are formatted too.
    for (int i = 0; i < row().count(); ++i) {
        ImportColumn *col = row().at(i);
        if (col->mapIndex < 0 || !m_filled[size_t(col->mapIndex)])
            applyFieldFormat(col);
    }
}

int DbfImport::importRow()
{
    int r;
    if (checkCancel())
        r = 2;
    else if (m_table->recordNumber() <= skipFirstRows()) {
        cancelRecord();
        r = 1;
    } else if (m_skipDeleted && m_table->deleted())
        r = 1;
    else
        r = processRowLogged();
    return afterRow(r);
}

void DbfImport::closeSource()
{
    m_sources.clear();
    m_columns.clear();
    ImportEngine::closeSource();
}

void DbfImport::finishImport()
{
    m_table.reset();
    ImportEngine::finishImport();
}
