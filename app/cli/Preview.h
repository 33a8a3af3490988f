#pragma once

#include <QString>
#include <QTextStream>

// kestra-cli preview: what a reader hands to the import, one record a line,
// fields separated by a tab, UTF-8.
struct PreviewOptions
{
    QString file;
    QString kind; // csv, txt, dbf, xml or xls (any workbook: .xls, .xlsx, .xlsm, .ods)
    QString delimiter; // empty: the reader's default
    QString quote; // empty: the reader's default
    int skip = 0;
    QString encoding; // csv and txt: windows-1252 (empty), utf-8 or oem-850
    QString dateFormat; // xls: short date format in force (empty: the process's)
    QString decimal; // xls: decimal separator in force (empty: the process's)
    QString ranges; // xls: print the cells this range list yields instead
};

// Tab, line feed, carriage return and backslash written as \t, \n, \r, \\.
QString escapePreviewField(const QString &value);
// The same written to out a slice at a time: a field as long as a memo then
// passes without copies of its whole length.
void writePreviewField(QTextStream &out, const QString &value);

int previewText(const PreviewOptions &options, QTextStream &out, QTextStream &err); // csv and txt
int previewDbf(const PreviewOptions &options, QTextStream &out, QTextStream &err);
int previewXml(const PreviewOptions &options, QTextStream &out, QTextStream &err);
int previewXls(const PreviewOptions &options, QTextStream &out, QTextStream &err);
