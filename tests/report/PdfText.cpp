#include "tests/report/PdfText.h"

#include <QProcess>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

QString runPoppler(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " failed: " << process.errorString().toStdString() << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString runPdfToText(const QStringList &arguments)
{
    return runPoppler(QStringLiteral("pdftotext"), arguments).normalized(QString::NormalizationForm_KC);
}

constexpr double MillimetresPerPoint = 25.4 / 72.0;

} // namespace

QStringList pdfPageTexts(const QString &path)
{
    const QString text
        = runPdfToText({ QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-") });
    QStringList pages = text.split(QLatin1Char('\f'));
    // pdftotext ends every page with a form feed, the last one included.
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QVector<PdfWord> pdfWords(const QString &path)
{
    const QString xhtml
        = runPdfToText({ QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-") });
    QVector<PdfWord> words;
    QXmlStreamReader xml(xhtml);
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const QXmlStreamAttributes a = xml.attributes();
            PdfWord word;
            word.page = page;
            word.box = QRectF(
                QPointF(a.value(QLatin1String("xMin")).toDouble(), a.value(QLatin1String("yMin")).toDouble()) * MillimetresPerPoint,
                QPointF(a.value(QLatin1String("xMax")).toDouble(), a.value(QLatin1String("yMax")).toDouble()) * MillimetresPerPoint);
            word.text = xml.readElementText();
            words.append(word);
        }
    }
    if (xml.hasError())
        ADD_FAILURE() << "pdftotext -bbox output unreadable: " << xml.errorString().toStdString();
    return words;
}

QStringList pdfFontNames(const QString &path)
{
    // Two heading lines, then one font a line, its name first.
    QStringList lines = runPoppler(QStringLiteral("pdffonts"), { path }).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList names;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        QString name = lines[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (name.size() > 7 && name[6] == QLatin1Char('+'))
            name = name.mid(7);
        names << name;
    }
    return names;
}

QVector<PdfWord> wordsOnPage(const QVector<PdfWord> &words, int page, const QString &text)
{
    QVector<PdfWord> found;
    for (const PdfWord &w : words) {
        if (w.page == page && w.text == text)
            found.append(w);
    }
    return found;
}
