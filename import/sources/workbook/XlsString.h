#pragma once

#include <QByteArray>
#include <QString>

// A BIFF8 string: 8-bit (compressed) or UTF-16 characters, whichever the
// record used.
class XlsString
{
public:
    XlsString() = default;
    static XlsString narrow(QByteArray latin1);
    static XlsString wide(QString text);
    bool isWide() const { return m_wide; }
    QString text() const;
    int length() const { return m_wide ? int(m_wideText.size()) : int(m_narrowText.size()); }

private:
    bool m_wide = false;
    QByteArray m_narrowText;
    QString m_wideText;
};
