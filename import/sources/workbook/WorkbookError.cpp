#include "import/sources/workbook/WorkbookError.h"

void WorkbookError::fileInvalid()
{
    throw WorkbookError(messageText(ImportMsg::XlsFileInvalid));
}

void WorkbookError::readError()
{
    throw WorkbookError(messageText(ImportMsg::XlsReadError));
}

void WorkbookError::recordInvalid(quint16 id)
{
    throw WorkbookError(messageText(ImportMsg::XlsRecordInvalid, { QString::number(id, 16) }));
}
