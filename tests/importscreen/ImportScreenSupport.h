#pragma once

#include "core/DateTime.h"
#include "data/Connection.h"
#include "data/Query.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <ostream>

// What the import tests share: the company and year they work for, source
// files and templates, and what another program sees of the tables.

inline const QString CompanyA = QStringLiteral("0123456AM000");
inline const QString CompanyB = QStringLiteral("7654321BPM000");
inline const QString Year = QStringLiteral("2026");

inline QString workbookFixture()
{
    return QStringLiteral(KESTRA_FIXTURES_DIR "/importscreen/workbook.xls");
}

// Writes a file in the program's single-byte code page.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QString &text)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text.toLatin1());
    return path;
}

// The key of an imported invoice is whatever the source or the formats give:
// here a placeholder company and year and a counter, which the stamping replaces.
inline const QString PlaceholderKeys
    = QStringLiteral("[DATA_FORMATS_IDENTIFIANT]\nConstantValue=IMPORT\n[DATA_FORMATS_EXERCICE]\nConstantValue=0\n"
                     "[DATA_FORMATS_TRIMESTRE]\nConstantValue=0\n[DATA_FORMATS_NUMEROORDRE]\nGeneratorValue=1\nGeneratorStep=1\n");

inline const QString DayMonthYear
    = QStringLiteral("[BASE_FORMATS]\nShortDateFormat=dd/mm/yyyy\nDateSeparator=/\nDecimalSeparator=.\nThousandSeparator=#32\n");

// A delimited file's template: map lines "COLUMN=field number".
inline QString csvTemplate(const QString &source, const QString &map, const QString &extra = QString())
{
    return QStringLiteral(
               "[FIRST_STEP]\nImportType=4\nFileName=%1\nGoToLastPage=1\n[CSV_MAP]\n%2\n[CSV_OPTIONS]\nSkipLines=1\nDelimiter=;\n")
               .arg(source, map)
        + DayMonthYear + extra;
}

// The workbook's template: map lines "COLUMN=ranges".
inline QString xlsTemplate(const QString &source, const QString &map, const QString &extra = QString())
{
    return QStringLiteral("[FIRST_STEP]\nImportType=0\nFileName=%1\nGoToLastPage=1\n[XLS_MAP]\n%2\n").arg(source, map) + DayMonthYear
        + extra;
}

inline const QString XlsClientsMap
    = QStringLiteral("CODE=[Clients]A2-COLFINISH;\nTYPEIDENTIFIANT=[Clients]B2-COLFINISH;\nIDENTIFIANT=[Clients]C2-COLFINISH;\n"
                     "NOMBENEFICIAIRE=[Clients]D2-COLFINISH;\nADRESSE=[Clients]E2-COLFINISH;\nNUMEROAUTORISATION=[Clients]F2-COLFINISH;\n"
                     "DATEAUTORISATION=[Clients]G2-COLFINISH;");

inline const QString XlsInvoicesMap = QStringLiteral(
    "NUMEROFACTURE=[Factures]A2-COLFINISH;\nDATEFACTURE=[Factures]B2-COLFINISH;\nCODE=[Factures]C2-COLFINISH;\n"
    "TYPEIDCLIENT=[Factures]D2-COLFINISH;\nIDENTIFIANTCLIENT=[Factures]E2-COLFINISH;\nNOMPRENOMCLIENT=[Factures]F2-COLFINISH;\n"
    "ADRESSECLIENT=[Factures]G2-COLFINISH;\nNUMEROAUTORISATION=[Factures]H2-COLFINISH;\nDATEAUTORISATION=[Factures]I2-COLFINISH;\n"
    "PRIXVENTE=[Factures]J2-COLFINISH;\nTAUXFODEC=[Factures]K2-COLFINISH;\nMONTANTFODEC=[Factures]L2-COLFINISH;\n"
    "TAUXDROITCONSOMMATION=[Factures]M2-COLFINISH;\nMONTANTDROITCONSOMMATION=[Factures]N2-COLFINISH;\n"
    "TAUXTVA=[Factures]O2-COLFINISH;\nMONTANTTVA=[Factures]P2-COLFINISH;");

// Invoices of a delimited file: number;date;authorisation;its date;price.
inline const QString CsvInvoicesMap
    = QStringLiteral("NUMEROFACTURE=1\nDATEFACTURE=2\nNUMEROAUTORISATION=3\nDATEAUTORISATION=4\nPRIXVENTE=5");

inline QString invoicesCsv(const QStringList &lines)
{
    return QStringLiteral("NUMERO;DATE;AUTORISATION;DATE AUTORISATION;PRIX\r\n") + lines.join(QStringLiteral("\r\n"))
        + QStringLiteral("\r\n");
}

// A value as text for comparisons: dates as dd/mm/yyyy, null as "null".
inline QString cellText(const QVariant &v)
{
    if (!v.isValid())
        return QStringLiteral("null");
    if (isTimeStamp(v))
        return DateTime::toQDate(v.value<TimeStamp>().value).toString(QStringLiteral("dd/MM/yyyy"));
    return v.toString();
}

// Rows of a select on a connection, as texts.
inline QList<QStringList> selectedRows(Connection &connection, const QString &sql)
{
    Query q(connection, sql);
    q.open();
    QList<QStringList> rows;
    Row row;
    while (q.fetch(row)) {
        QStringList texts;
        for (const QVariant &v : row)
            texts << cellText(v);
        rows << texts;
    }
    return rows;
}

// Rows of a select as another program sees them (committed work only).
inline QList<QStringList> committedRows(const TestDatabase &db, const QString &sql)
{
    auto other = db.otherConnection();
    return selectedRows(*other, sql);
}

// A template's lines that write the error log to path.
inline QString errorLogTo(const QString &path)
{
    return QStringLiteral("[LAST_STEP]\nEnableErrorLog=1\nErrorLogFileName=%1\n").arg(path);
}

inline void insertInvoice(TestDatabase &db, const QString &company, int year, int quarter, int number, const QString &invoice = QString(),
    const QString &date = {})
{
    db.exec(QStringLiteral("insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, "
                           "NUMEROAUTORISATION) values ('%1', %2, %3, %4, '%5', %6, 'AUT-OLD')")
                .arg(company)
                .arg(year)
                .arg(quarter)
                .arg(number)
                .arg(invoice.isEmpty() ? QStringLiteral("OLD-%1").arg(number) : invoice)
                .arg(date.isEmpty() ? QStringLiteral("null") : QLatin1Char('\'') + date + QLatin1Char('\'')));
}
