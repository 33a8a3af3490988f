#include "bench/support/BenchDatabase.h"

#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "data/Schema.h"
#include "invoices/InvoiceComputations.h"

#include <QFile>

long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : 0;
}

QString invoiceDatabase(const QString &dir, int rows, int quarters)
{
    const QString path = dir + QStringLiteral("/Kestra.GDB");
    Schema::createDatabase(path);
    Connection c;
    c.setDatabaseName(path);
    c.open();
    fillInvoices(c, rows, quarters);
    c.close();
    return path;
}

void fillInvoices(Connection &c, int rows, int quarters)
{
    Query q(c,
        QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, TYPEIDCLIENT, "
                       "IDENTIFIANTCLIENT, "
                       "NOMPRENOMCLIENT, ADRESSECLIENT, NUMEROAUTORISATION, DATEAUTORISATION, PRIXVENTE, TAUXFODEC, MONTANTFODEC, "
                       "TAUXDROITCONSOMMATION, "
                       "MONTANTDROITCONSOMMATION, TAUXTVA, MONTANTTVA, CODE) values (:a, :b, :c, :d, :e, :f, :g, :h, :i, :j, :k, :l, :m, "
                       ":n, :o, :p, :q, :r, :s, :t)"));
    for (int i = 1; i <= rows; ++i) {
        const int quarter = quarters > 1 ? (i - 1) * quarters / rows + 1 : 1;
        q.setParam(QStringLiteral("a"), QStringLiteral("0123456AM000"));
        q.setParam(QStringLiteral("b"), 2008);
        q.setParam(QStringLiteral("c"), quarter);
        q.setParam(QStringLiteral("d"), i);
        q.setParam(QStringLiteral("e"), QStringLiteral("F%1").arg(i));
        // A date of the invoice's quarter, as a register holds them.
        q.setParam(QStringLiteral("f"), QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 3 * quarter - 2, 1) + i % 90 }));
        q.setParam(QStringLiteral("g"), QStringLiteral("1"));
        q.setParam(QStringLiteral("h"), QStringLiteral("1234567ABM000"));
        q.setParam(QStringLiteral("i"), QStringLiteral("CLIENT %1").arg(i % 500).leftJustified(40));
        q.setParam(QStringLiteral("j"), QStringLiteral("RUE %1 TUNIS").arg(i % 97).leftJustified(120));
        q.setParam(QStringLiteral("k"), QStringLiteral("AUT-%1").arg(i % 50));
        q.setParam(QStringLiteral("l"), QVariant::fromValue(TimeStamp { 39000.0 }));
        // The amounts as the invoice form computes them.
        const double price = 1000.0 + i;
        const double fodec = InvoiceComputations::fodecAmount(price, 1.0);
        q.setParam(QStringLiteral("m"), price);
        q.setParam(QStringLiteral("n"), 1.0);
        q.setParam(QStringLiteral("o"), fodec);
        q.setParam(QStringLiteral("p"), 0.0);
        q.setParam(QStringLiteral("q"), 0.0);
        q.setParam(QStringLiteral("r"), 19.0);
        q.setParam(QStringLiteral("s"), InvoiceComputations::vatAmount(price, fodec, 0.0, 19.0));
        q.setParam(QStringLiteral("t"), i % 500);
        q.execute();
    }
    c.commit();
}
