#include "bench/support/PlainInserts.h"

#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/Query.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

const QStringList InvoiceColumns = { "IDENTIFIANT", "EXERCICE", "TRIMESTRE", "NUMEROORDRE", "NUMEROFACTURE", "DATEFACTURE", "TYPEIDCLIENT",
    "IDENTIFIANTCLIENT", "NOMPRENOMCLIENT", "ADRESSECLIENT", "NUMEROAUTORISATION", "DATEAUTORISATION", "PRIXVENTE", "TAUXFODEC",
    "MONTANTFODEC", "TAUXDROITCONSOMMATION", "MONTANTDROITCONSOMMATION", "TAUXTVA", "MONTANTTVA", "CODE" };

PlainInsertRun plainInsertLoop(const QString &databasePath, int rows)
{
    Connection c;
    c.setDatabaseName(databasePath);
    c.open();
    QStringList params;
    for (const QString &col : InvoiceColumns)
        params << QLatin1Char(':') + col;
    Query q(c, QStringLiteral("insert into FACTURE (%1) values (%2)").arg(InvoiceColumns.join(", "), params.join(", ")));
    q.prepare();
    const QVariant date = QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 1, 5) });
    const QVariant authorised = QVariant::fromValue(TimeStamp { DateTime::encodeDate(2008, 1, 1) });
    PlainInsertRun run;
    const int tenth = std::max(1, rows / 10);
    QElapsedTimer t, slice;
    t.start();
    slice.start();
    for (int i = 1; i <= rows; ++i) {
        q.setParam("IDENTIFIANT", QStringLiteral("0123456AM000"));
        q.setParam("EXERCICE", 2008);
        q.setParam("TRIMESTRE", i % 4 + 1);
        q.setParam("NUMEROORDRE", i);
        q.setParam("NUMEROFACTURE", QStringLiteral("F%1").arg(i, 6, 10, QLatin1Char('0')));
        q.setParam("DATEFACTURE", date);
        q.setParam("TYPEIDCLIENT", QStringLiteral("1"));
        q.setParam("IDENTIFIANTCLIENT", QStringLiteral("1234567ABC000"));
        q.setParam("NOMPRENOMCLIENT", QStringLiteral("Client %1").arg(i % 5000));
        q.setParam("ADRESSECLIENT", QStringLiteral("12 rue de la Kasbah, Tunis"));
        q.setParam("NUMEROAUTORISATION", QStringLiteral("A-2008-17"));
        q.setParam("DATEAUTORISATION", authorised);
        q.setParam("PRIXVENTE", 1234.567);
        q.setParam("TAUXFODEC", 1.0);
        q.setParam("MONTANTFODEC", 12.346);
        q.setParam("TAUXDROITCONSOMMATION", 0.0);
        q.setParam("MONTANTDROITCONSOMMATION", 0.0);
        q.setParam("TAUXTVA", 18.0);
        q.setParam("MONTANTTVA", 224.44);
        q.setParam("CODE", i % 1000);
        q.execute();
        if (i % 100 == 0) {
            c.commitRetaining();
            ++run.commits;
        }
        if (i % tenth == 0) {
            run.slices.push_back(slice.nsecsElapsed() / 1e6);
            slice.restart();
        }
    }
    if (rows % 100 != 0) {
        c.commitRetaining();
        ++run.commits;
    }
    run.ms = t.nsecsElapsed() / 1e6;
    c.close();
    return run;
}

bool convertCsvToXls(const QString &csv, const QString &outDir)
{
    return convertCsvToWorkbook(csv, outDir, QStringLiteral("xls:MS Excel 97"), QStringLiteral(".xls"));
}

bool convertCsvToWorkbook(const QString &csv, const QString &outDir, const QString &filter, const QString &extension)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::fprintf(stderr, "soffice not found: install libreoffice-calc-nogui or give a workbook\n");
        return false;
    }
    QTemporaryDir profile;
    QProcess p;
    p.start(soffice,
        { QStringLiteral("-env:UserInstallation=file://") + profile.path(), QStringLiteral("--headless"),
            QStringLiteral("--infilter=CSV:44,34,76,1,,1033,false,true"), QStringLiteral("--convert-to"), filter,
            QStringLiteral("--outdir"), outDir, csv });
    const QString written = outDir + QLatin1Char('/') + QFileInfo(csv).completeBaseName() + extension;
    if (!p.waitForFinished(600000) || !QFileInfo::exists(written)) {
        std::fprintf(stderr, "soffice could not write the workbook\n");
        return false;
    }
    return true;
}
