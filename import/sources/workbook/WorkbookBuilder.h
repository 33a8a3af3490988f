#pragma once

#include "import/sources/workbook/WorkbookFile.h"

#include <QString>
#include <QStringView>
#include <QVariant>

// Fills a WorkbookFile from a workbook of another format (.xlsx, .ods) with the
// records a BIFF8 workbook of the same content holds, so that everything
// above the reader sees one model. Positions are those of a BIFF8 sheet:
// rows 0..65535, columns 0..255.
class WorkbookBuilder
{
public:
    static constexpr int MaxRow = 65535;
    static constexpr int MaxColumn = 255;
    static constexpr int MaxTextLength = 65535;

    // Closes the file; it is opened by finish().
    explicit WorkbookBuilder(WorkbookFile &file);
    // A build that did not finish leaves the file closed and empty.
    ~WorkbookBuilder();
    WorkbookBuilder(const WorkbookBuilder &) = delete;
    WorkbookBuilder &operator=(const WorkbookBuilder &) = delete;

    void setDates1904(bool on);
    bool dates1904() const;
    // A number format of the workbook, by its index; the built-in ones need
    // none (the date test knows them by number).
    void addFormat(int formatIndex, const QString &formatString);
    // A cell format showing number format formatIndex; returns its index.
    int addXf(int formatIndex);
    int xfCount() const;
    // A string of the shared-string table (at most MaxTextLength
    // characters); returns its index.
    int addString(QStringView text);
    int stringCount() const;
    QString string(int index) const;
    // A worksheet, after the ones added before; hidden only marks it.
    XlsWorkSheet *addWorkSheet(const QString &name, bool hidden);

    void addNumber(XlsWorkSheet *sheet, int row, int column, int xf, double value);
    void addString(XlsWorkSheet *sheet, int row, int column, int xf, int stringIndex);
    void addBoolean(XlsWorkSheet *sheet, int row, int column, int xf, bool value);
    void addError(XlsWorkSheet *sheet, int row, int column, int xf, quint8 code);
    void addBlank(XlsWorkSheet *sheet, int row, int column, int xf);
    // A formula cell and its cached result: a double, a QString, a bool, or
    // an invalid QVariant for an error or no result.
    void addFormula(XlsWorkSheet *sheet, int row, int column, int xf, const QVariant &result);

    // Binds the formats and marks the file opened.
    void finish();

private:
    template <typename T> T *makeCell(XlsWorkSheet *sheet, quint16 id, int row, int column, int xf, const quint8 *tail, int tailSize);

    WorkbookFile &m_file;
    XlsWorkbook &m_workbook;
    bool m_finished = false;
};
