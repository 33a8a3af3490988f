#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Zip archives and small workbooks written in memory, for the zip readers'
// tests: what LibreOffice will not write (strict namespaces, escapes,
// missing references, damage) is written here part by part.
namespace ZipTest {

using Parts = QList<QPair<QString, QByteArray>>;

// The archive of these parts in this order, deflated (or stored).
QByteArray zip(const Parts &parts, bool deflate = true);

// The parts of a transitional .xlsx whose worksheets hold the given
// <sheetData> contents (named Sheet1, Sheet2...), with shared strings and
// cell formats (<xf> elements, after a default one) when given.
Parts xlsxParts(const QList<QByteArray> &sheetData, const QList<QByteArray> &sharedStrings = {}, const QByteArray &cellFormats = {},
    const QByteArray &numberFormats = {});
QByteArray xlsx(const QList<QByteArray> &sheetData, const QList<QByteArray> &sharedStrings = {}, const QByteArray &cellFormats = {},
    const QByteArray &numberFormats = {});

// An .ods whose content holds these tables (<table:table> elements).
QByteArray ods(const QByteArray &tables, const QByteArray &automaticStyles = {});

} // namespace ZipTest
