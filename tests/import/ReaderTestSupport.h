#pragma once

#include "core/FormatSettings.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <ostream>

// Readable texts in the failure messages of the reader tests.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The settings the workbook readers' expected texts are written with: the
// current ones with French separators and day-first dates.
inline FormatSettings readerTestFormats()
{
    FormatSettings fs = FormatSettings::current();
    fs.decimalSeparator = QLatin1Char(',');
    fs.dateSeparator = QLatin1Char('/');
    fs.timeSeparator = QLatin1Char(':');
    fs.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    fs.longTimeFormat = QStringLiteral("hh:mm:ss");
    return fs;
}
