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

TDataImportDBF::TDataImportDBF() = default;
TDataImportDBF::~TDataImportDBF() = default;

void TDataImportDBF::PrepareImport()
{
    m_table = std::make_unique<TDBFRead>(FileName());
    SetTotalRecords(int(std::min<qint64>(m_table->RecordCount(), std::numeric_limits<int>::max())));
    try {
        TDataImport::PrepareImport();
    } catch (...) {
        m_table.reset();
        throw;
    }
}

void TDataImportDBF::OpenSource()
{
    m_sources.clear();
    for (int i = 0; i < Map().size(); ++i)
        m_sources[MapValue(i).trimmed().toUpper()] << i;
    m_columns.assign(size_t(Map().size()), nullptr);
    for (int i = 0; i < Row().Count(); ++i) {
        TDataImportCol *col = Row().Items(i);
        if (IsMappedColumn(col))
            m_columns[size_t(col->MapIndex)] = col;
    }
}

bool TDataImportDBF::HasMoreRows()
{
    return !m_table->EndOfTable();
}

void TDataImportDBF::FillImportRow()
{
    for (int i = 0; i < Row().Count(); ++i)
        Row().Items(i)->Value.clear();
    m_filled.assign(m_columns.size(), 0);
    const int fields = m_table->FieldCount();
    for (int f = 0; f < fields; ++f) {
        const QString text = m_table->ReadField(f).trimmed();
        const auto it = m_sources.constFind(m_table->FieldName(f));
        if (it == m_sources.constEnd())
            continue;
        // Every map line that names the field: one field may fill several columns.
        for (int line : *it) {
            TDataImportCol *col = m_columns[size_t(line)];
            if (!col)
                continue;
            SetValue(col, m_table->FieldType(f) == 'D' && !text.isEmpty() ? dbfDate(text) : text);
            ApplyFieldFormat(col);
            m_filled[size_t(line)] = 1;
        }
    }
    // Columns no field filled (counters, constants, fields the table lacks)
    // are formatted too.
    for (int i = 0; i < Row().Count(); ++i) {
        TDataImportCol *col = Row().Items(i);
        if (col->MapIndex < 0 || !m_filled[size_t(col->MapIndex)])
            ApplyFieldFormat(col);
    }
}

int TDataImportDBF::ImportRow()
{
    int r;
    if (CheckCancel())
        r = 2;
    else if (m_table->RecordNumber() <= SkipFirstRows()) {
        CancelRecord();
        r = 1;
    } else if (m_skipDeleted && m_table->Deleted())
        r = 1;
    else
        r = ProcessRowLogged();
    return AfterRow(r);
}

void TDataImportDBF::CloseSource()
{
    m_sources.clear();
    m_columns.clear();
    TDataImport::CloseSource();
}

void TDataImportDBF::FinishImport()
{
    m_table.reset();
    TDataImport::FinishImport();
}
