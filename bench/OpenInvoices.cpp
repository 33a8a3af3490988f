// Opening the invoice data set on 100,000 invoices of one company and year
// and showing them in the grid, beside a plain fetch of the same rows through
// the client library. Run: build-bench/bench/bench_OpenInvoices [rows]

#include "bench/support/BenchDatabase.h"
#include "bench/support/PlainCursor.h"
#include "data/Connection.h"
#include "data/DataModule.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "ui/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The client library alone: prepare, open a cursor, fetch every row into a buffer.
double plainFetch(const QString &path, int &count)
{
    QElapsedTimer t;
    t.start();
    PlainCursor cursor(path);
    cursor.open(
        "select * from FACTURE WHERE identifiant='0123456AM000' and exercice=2008 Order by IDENTIFIANT,EXERCICE,TRIMESTRE,NUMEROORDRE");
    count = 0;
    while (cursor.next())
        ++count;
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kestra.GDB"));
    Schema::createDatabase(path);
    {
        Connection c;
        c.setDatabaseName(path);
        c.open();
        fillInvoices(c, rows, 4);
    }

    int plainCount = 0;
    plainFetch(path, plainCount); // warm the page cache
    const double plainMs = plainFetch(path, plainCount);

    double queryMs = 0;
    {
        Connection c;
        c.setDatabaseName(path);
        c.open();
        QElapsedTimer qt;
        qt.start();
        Query q(c,
            QStringLiteral(
                "select * from FACTURE WHERE identifiant=:id and exercice=:ex Order by IDENTIFIANT,EXERCICE,TRIMeSTRE,NUMEROORDRE"));
        q.setParam(QStringLiteral("id"), QStringLiteral("0123456AM000"));
        q.setParam(QStringLiteral("ex"), QStringLiteral("2008"));
        q.open();
        Row row;
        while (q.fetch(row)) { }
        queryMs = qt.nsecsElapsed() / 1e6;
    }

    TDatadeclaration module;
    module.ivorande->setDatabaseName(path);
    module.ivorande->open();
    DBGrid grid;
    grid.setDataSet(module.ifacture);
    grid.setColumns(
        { { QStringLiteral("TRIMESTRE"), QStringLiteral("Trm"), 40 }, { QStringLiteral("DATEFACTURE"), QStringLiteral("Date Fact."), 80 },
            { QStringLiteral("NUMEROFACTURE"), QStringLiteral("N°Facture"), 80 },
            { QStringLiteral("IDENTIFIANTCLIENT"), QStringLiteral("Id.Bénéficiaire"), 100 },
            { QStringLiteral("NOMPRENOMCLIENT"), QStringLiteral("Nom"), 200 },
            { QStringLiteral("PRIXVENTE"), QStringLiteral("Montant H.T"), 90 },
            { QStringLiteral("MONTANTFODEC"), QStringLiteral("Montant Fodec"), 90 },
            { QStringLiteral("MONTANTDROITCONSOMMATION"), QStringLiteral("MT Droit Cons."), 90 },
            { QStringLiteral("MONTANTTVA"), QStringLiteral("Montant TVA"), 90 } });
    grid.resize(1200, 700);
    grid.show();
    QApplication::processEvents();

    const long before = residentKiB();
    QElapsedTimer t;
    t.start();
    module.ifacture->close();
    module.ifacture->setSql(
        QStringLiteral("select * from FACTURE WHERE identifiant=:id and exercice=:ex Order by IDENTIFIANT,EXERCICE,TRIMeSTRE,NUMEROORDRE"));
    module.ifacture->setParam(QStringLiteral("id"), QStringLiteral("0123456AM000"));
    module.ifacture->setParam(QStringLiteral("ex"), QStringLiteral("2008"));
    module.ifacture->open();
    grid.repaint(); // the first screen of rows drawn
    QApplication::processEvents();
    const double openMs = t.nsecsElapsed() / 1e6;
    const long after = residentKiB();

    std::printf("rows                         %d (plain fetch saw %d)\n", module.ifacture->recordCount(), plainCount);
    std::printf("plain fetch (client library)  %8.1f ms\n", plainMs);
    std::printf("decoded by Query, not kept     %8.1f ms\n", queryMs);
    std::printf("ifacture opened + grid shown  %8.1f ms\n", openMs);
    std::printf("ratio                         %8.2f (target: at most 2)\n", openMs / plainMs);
    std::printf("memory per row                %8.0f bytes\n", (after - before) * 1024.0 / qMax(1, module.ifacture->recordCount()));
    return 0;
}
