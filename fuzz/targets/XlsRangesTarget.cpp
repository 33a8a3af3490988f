// The range language of the spreadsheet source: a range list read, written
// back, resolved against a small workbook and walked cell by cell. The first
// two bytes give the rows and columns to skip; the rest is the list's text.

#include "fuzz/FuzzTarget.h"
#include "import/sources/workbook/WorkbookFile.h"
#include "import/sources/workbook/RangeMap.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
WorkbookFile &workbook()
{
    static WorkbookFile *file = [] {
        auto *f = new WorkbookFile;
        f->setFileName(QStringLiteral(KESTRA_FUZZ_WORKBOOK));
        try {
            f->open();
        } catch (const ImportError &e) {
            std::fprintf(stderr, "%s: %s\n", KESTRA_FUZZ_WORKBOOK, qPrintable(e.text()));
            std::abort();
        }
        return f;
    }();
    return *file;
}
} // namespace

KESTRA_FUZZ_TARGET(xls_ranges)
{
    if (size < 2)
        return;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, qsizetype(size - 2));
    try {
        parseMapRow(text, nullptr);
        MapRow loose;
        loose.parse(text);
        parseMapRow(loose.text(), nullptr);
    } catch (const ImportError &) {
    }
    try {
        RangeMap list(&workbook(), data[0] % 8, data[1] % 8);
        MapRow *row = list.add(QStringLiteral("F"), text);
        list.updateTotals();
        list.recordCount(qirMax);
        // The first cells and the last ones: a range may name millions.
        const int total = row->total();
        for (int n = 1; n <= std::min(total, 300); ++n)
            row->cellText(n);
        for (int n = std::max(301, total - 300); n <= total + 1; ++n)
            row->cellText(n);
        row->contains(1, QString(), 3, 2);
        row->merge();
        row->text();
        if (row->count() > 0)
            row->removeCell(1, QString(), 3, 2);
    } catch (const ImportError &) {
    }
}
