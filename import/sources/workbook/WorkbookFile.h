#pragma once

// The Excel 97-2003 reader's model, whole: what the import, the wizard and
// the range language see of a workbook of any format.
#include "import/sources/workbook/BiffCell.h"
#include "import/sources/workbook/BiffCellList.h"
#include "import/sources/workbook/BiffRecord.h"
#include "import/sources/workbook/BiffRecordList.h"
#include "import/sources/workbook/BiffSSTList.h"
#include "import/sources/workbook/WorkbookError.h"
#include "import/sources/workbook/Xls.h"
#include "import/sources/workbook/XlsRecordId.h"
#include "import/sources/workbook/XlsSection.h"
#include "import/sources/workbook/XlsWorkSheet.h"
#include "import/sources/workbook/XlsWorkbook.h"

#include <QByteArray>
#include <QString>

#include <memory>

// Reader of Excel 97-2003 workbooks (BIFF8 records, normally the stream
// "Workbook" of a compound document). The whole workbook is loaded at open:
// every record kept becomes an object owning a copy of its bytes. Workbooks
// are only read, never written.
class WorkbookFile
{
public:
    WorkbookFile();
    ~WorkbookFile();
    WorkbookFile(const WorkbookFile &) = delete;
    WorkbookFile &operator=(const WorkbookFile &) = delete;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name) { m_fileName = name; }
    bool isOpened() const { return m_opened; }

    // Loads the workbook named by the file name: a BIFF8 workbook, or an
    // .xlsx or .ods one (ZipWorkbook.h), told apart by the file's content.
    void open();
    // Loads a workbook file held in memory (a compound document, a bare
    // record stream or a zip workbook); the file name, when given, only
    // names it in messages.
    void openBuffer(const QByteArray &fileBytes);
    void close();

    XlsWorkbook &workbook() { return *m_workbook; }
    int workSheetCount() const;
    XlsWorkSheet *workSheet(int index) const;
    QString workSheetName(int index) const;
    // Index of the worksheet with that name, without regard to case; -1 when
    // none matches.
    int workSheetIndex(const QString &name) const;

private:
    friend struct XlsFileLoader;
    friend class WorkbookBuilder;

    QString m_fileName;
    bool m_opened = false;
    std::unique_ptr<XlsWorkbook> m_workbook;
};
