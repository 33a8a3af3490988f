#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

// Reads a PDF file back with poppler's pdftotext, as a reader of the printed
// page would: the text of each page in its layout, and each word with the
// page it is on and its box. Texts come in compatibility normal form (NFKC):
// a font's ligatures ("\uFB01") read as the letters they join ("fi"), and
// accented letters stay composed as the tests write them.
struct PdfWord
{
    int page = 0; // from 1
    QRectF box; // millimetres from the page's top-left corner
    QString text;
};

// One text per page, blank-aligned as on paper. Empty when pdftotext fails;
// the failure is then reported by a gtest assertion.
QStringList pdfPageTexts(const QString &path);
QVector<PdfWord> pdfWords(const QString &path);

// The fonts the file uses, as pdffonts names them, without the subset prefix
// ("LiberationSans-Bold").
QStringList pdfFontNames(const QString &path);

// The words of one page whose text equals the one given.
QVector<PdfWord> wordsOnPage(const QVector<PdfWord> &words, int page, const QString &text);
