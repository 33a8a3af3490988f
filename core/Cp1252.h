#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the database, the declaration file and the
// INI files. A character it cannot hold becomes "?".
namespace Cp1252 {
QString toUnicode(const char *data, qsizetype size);
QString toUnicode(const QByteArray &bytes);
QByteArray fromUnicode(const QString &text);
char fromUnicode(QChar c);
} // namespace Cp1252
