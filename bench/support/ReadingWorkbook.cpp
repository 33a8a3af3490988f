#include "bench/support/ReadingWorkbook.h"

#include "bench/support/PlainInserts.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/sources/workbook/RangeMap.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

QString readingWorkbook(const QString &filter, const QString &extension)
{
    const QString dir = QDir::temp().filePath(QStringLiteral("kestra-bench"));
    QDir().mkpath(dir);
    const QString name = QStringLiteral("xlsread-%1x%2").arg(ReadingRows).arg(ReadingCols);
    const QString workbook = dir + QLatin1Char('/') + name + extension;
    if (QFileInfo::exists(workbook))
        return workbook;
    const QString csv = dir + QLatin1Char('/') + name + QStringLiteral(".csv");
    QFile out(csv);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    QTextStream ts(&out);
    const char *towns[] = { "Sfax", "Tunis", "Sousse", "Bizerte", "Gabès", "Nabeul", "Kairouan", "Monastir", "Ariana", "Ben Arous" };
    quint32 x = 12345;
    auto next = [&] {
        x = x * 1103515245u + 12345u;
        return x >> 8;
    };
    const QDate origin(2000, 1, 1);
    for (int r = 0; r < ReadingRows; ++r) {
        for (int c = 0; c < ReadingCols; ++c) {
            if (c)
                ts << ',';
            switch (c % 4) {
            case 0:
                ts << '"' << QString::fromUtf8(towns[next() % 10]) << ' ' << (r * ReadingCols + c) << '"';
                break;
            case 1:
                ts << int(next() % 200001) - 100000;
                break;
            case 2:
                ts << QString::number((next() % 10000000) / 1000.0, 'f', 3);
                break;
            default:
                ts << origin.addDays(next() % 9000).toString(Qt::ISODate);
                break;
            }
        }
        ts << '\n';
    }
    out.close();
    // UTF-8 comma-separated text, quoted strings, ISO dates recognised.
    const bool written = convertCsvToWorkbook(csv, dir, filter, extension);
    QFile::remove(csv);
    return written ? workbook : QString();
}

CellsRead readEveryCell(const QString &path, bool throughRanges)
{
    CellsRead read;
    WorkbookFile file;
    file.setFileName(path);
    file.open();
    if (throughRanges) {
        RangeMap list(&file);
        for (int c = 1; c <= ReadingCols; ++c)
            list.add(QString::number(c), Xls::columnLetters(c) + QStringLiteral("-COLFINISH;"));
        list.updateTotals();
        const int records = list.recordCount(qirMax);
        for (int r = 0; r < records; ++r)
            for (int c = 0; c < list.count(); ++c) {
                read.chars += list.cellText(c, r).size();
                ++read.cells;
            }
        return read;
    }
    for (int s = 0; s < file.workSheetCount(); ++s) {
        const XlsRowList &rows = file.workSheet(s)->rows();
        for (int r = 0; r < rows.count(); ++r) {
            XlsRow *row = rows.row(r);
            for (int c = 0; c < row->count(); ++c) {
                read.chars += row->cell(c)->text().size();
                ++read.cells;
            }
        }
    }
    return read;
}
