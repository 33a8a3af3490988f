#include "import/sources/workbook/XlsString.h"

XlsString XlsString::narrow(QByteArray latin1)
{
    XlsString s;
    s.m_narrowText = std::move(latin1);
    return s;
}

XlsString XlsString::wide(QString text)
{
    XlsString s;
    s.m_wide = true;
    s.m_wideText = std::move(text);
    return s;
}

QString XlsString::text() const
{
    return m_wide ? m_wideText : QString::fromLatin1(m_narrowText);
}
