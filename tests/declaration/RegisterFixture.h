#pragma once

#include "app/CompanySelection.h"
#include "core/WorkingContext.h"
#include "data/DataSet.h"
#include "tests/support/Files.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScopedAnswers.h"
#include "tests/support/TestDatabase.h"
#include "ui/MessageBox.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>

// What the declaration tests share: a register with a company and its
// invoices, the T1 file it gives, and files compared record by record.

// A company with invoices in T1 (numbered out of date order), T2, another
// year and another company.
struct Register
{
    // No box may wait for a click; boxes are shown again after the test.
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    WorkingContext context;
    QTemporaryDir out;

    Register()
    {
        db.exec(
            QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, ACTIVITE, VILLE, RUE, "
                           "NUMERO, CODEPOSTAL, EXERCICE) "
                           "values ('0123456', 'A', 'M', '000', 'SOCIÉTÉ TEST', 'COMMERCE', 'TUNIS', 'RUE DE ROME', '12', '1000', 2008)"));
        const char *invoice = "insert into FACTURE (IDENTIFIANT, EXERCICE, TRIMESTRE, NUMEROORDRE, NUMEROFACTURE, DATEFACTURE, "
                              "TYPEIDCLIENT, IDENTIFIANTCLIENT, "
                              "NOMPRENOMCLIENT, ADRESSECLIENT, NUMEROAUTORISATION, DATEAUTORISATION, PRIXVENTE, TAUXFODEC, MONTANTFODEC, "
                              "TAUXDROITCONSOMMATION, MONTANTDROITCONSOMMATION, TAUXTVA, MONTANTTVA) values (%1)";
        for (const char *values : {
                 "'0123456AM000', 2008, 1, 1, 'F-001', '2008-02-10', '1', '1234567ABM000', 'CLIENT UN                               ', "
                 "'RUE UN', "
                 "'AUT-1', '2007-12-31', 1000, 1, 10, 0, 0, 18, 181.8",
                 "'0123456AM000', 2008, 1, 3, ' F-12 ', '2008-01-05', '2', '09876543', 'BEN SALAH', null, null, null, 250.5, 0, 0, 12.5, "
                 "31.3125, 7, 19.726875",
                 "'0123456AM000', 2008, 1, 2, 'AVOIR', '2008-03-31', '1', '1234567ABM000', 'CLIENT UN', 'RUE UN', 'AUT-1', '2007-12-31', "
                 "-100.25, 0, 0, 0, 0, 19, -19.0475",
                 "'0123456AM000', 2008, 2, 4, 'F-T2', '2008-04-01', '1', '1234567ABM000', 'AUTRE TRIMESTRE', null, null, null, 1, 0, 0, 0, "
                 "0, 0, 0",
                 "'0123456AM000', 2009, 1, 1, 'F-2009', '2009-01-01', '1', '1234567ABM000', 'AUTRE ANNEE', null, null, null, 1, 0, 0, 0, "
                 "0, 0, 0",
                 "'7654321BPM001', 2008, 1, 1, 'F-AUTRE', '2008-01-01', '1', '1234567ABM000', 'AUTRE SOCIETE', null, null, null, 1, 0, 0, "
                 "0, 0, 0, 0",
             })
            db.exec(QString::fromLatin1(invoice).arg(QString::fromUtf8(values)));
        db.connection().commitRetaining();
        DataSet societes(db.connection(), QStringLiteral("Isociete"));
        societes.setSql(QStringLiteral("select * from SOCIETE"));
        societes.open();
        chooseCompany(societes, context);
        MessageBox::resetRecord();
    }
};

inline QByteArray expectedT1()
{
    const QByteArray p = "0123456AM0002008T1";
    QByteArray f;
    // The company row was stored without the form's padding: each text is
    // filled to its width.
    f += "EF" + p + QByteArray("SOCI\xC9T\xC9 TEST").leftJustified(40) + QByteArray("COMMERCE").leftJustified(40)
        + QByteArray("TUNIS").leftJustified(40) + QByteArray("RUE DE ROME").leftJustified(72) + "12  "
        + "1000" + QByteArray(111, ' ') + "\r\n";
    // NUMEROORDRE order, whatever the dates
    f += "DF" + p
        + "000001"
          "F-001               "
          "10022008"
          "1"
          "1234567ABM000"
          "CLIENT UN                               "
          "RUE UN"
        + QByteArray(114, ' ')
        + "AUT-1               "
          "31122007"
          "000000001000000"
          "00100"
          "000000000010000"
          "00000"
          "000000000000000"
          "01800"
          "000000000181800"
          "\r\n";
    // -19.0475 * 1000 is -19047.4999999999994 at 18 digits: -19047
    f += "DF" + p
        + "000002"
          "AVOIR               "
          "31032008"
          "1"
          "1234567ABM000"
          "CLIENT UN                               "
          "RUE UN"
        + QByteArray(114, ' ')
        + "AUT-1               "
          "31122007"
          "-00000000100250"
          "00000"
          "000000000000000"
          "00000"
          "000000000000000"
          "01900"
          "-00000000019047"
          "\r\n";
    f += "DF" + p
        + "000003"
          "F-12                "
          "05012008"
          "2"
          "09876543     " // stored without its padding
          "BEN SALAH                               "
        + QByteArray(120, ' ') + QByteArray(20, ' ')
        + "30121899"
          "000000000250500"
          "00000"
          "000000000000000"
          "01250"
          "000000000031313"
          "00700"
          "000000000019727"
          "\r\n";
    f += "TF" + p + "000003" + QByteArray(230, ' ')
        + "000000001150250"
          "00000"
          "000000000010000"
          "00000"
          "000000000031313"
          "00000"
          "000000000182479"
          "\r\n";
    return f;
}

// Byte for byte, reported record by record.
inline void expectFile(const QByteArray &actual, const QByteArray &expected)
{
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    EXPECT_EQ(a.size(), e.size());
    for (int i = 0; i < qMin(a.size(), e.size()); ++i)
        EXPECT_EQ(a[i].toStdString(), e[i].toStdString()) << "record " << i + 1;
}

// A register of one company whose T1 2008 invoices are a sound invoice
// changed column by column: each invoice is a list of "COLUMN=literal" (SQL
// literals). The company's texts are stored as the company form stores them.
struct QuarterRegister
{
    ScopedAutoAnswer answer { QMessageBox::Ok };
    TestDatabase db;
    WorkingContext context;
    QTemporaryDir out;

    // company: the four parts of the tax identifier.
    QuarterRegister(const QStringList &company, const QList<QStringList> &invoices)
    {
        db.exec(QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, ACTIVITE, VILLE, RUE, "
                               "NUMERO, CODEPOSTAL, EXERCICE) values ('%1', '%2', '%3', '%4', '%5', '%6', '%7', '%8', '%9', '1000', 2008)")
                    .arg(company[0], company[1], company[2], company[3], QStringLiteral("SOCIETE SAINE").leftJustified(40),
                        QStringLiteral("NEGOCE").leftJustified(40), QStringLiteral("SFAX").leftJustified(40),
                        QStringLiteral("RUE DE LA KASBAH").leftJustified(72), QStringLiteral("7").leftJustified(4)));
        const QString matricule = company.join(QString());
        int number = 0;
        for (const QStringList &changes : invoices) {
            ++number;
            QList<QPair<QString, QString>> columns = {
                { "NUMEROFACTURE", QStringLiteral("'F-%1'").arg(number) },
                { "DATEFACTURE", "'2008-02-10'" },
                { "TYPEIDCLIENT", "'1'" },
                { "IDENTIFIANTCLIENT", "'1234567ABM000'" },
                { "NOMPRENOMCLIENT", QStringLiteral("'CLIENT %1'").arg(number) },
                { "ADRESSECLIENT", "'RUE UN'" },
                { "NUMEROAUTORISATION", "'AUT-1'" },
                { "DATEAUTORISATION", "'2007-12-31'" },
                { "PRIXVENTE", "1000" },
                { "TAUXFODEC", "1" },
                { "MONTANTFODEC", "10" },
                { "TAUXDROITCONSOMMATION", "0" },
                { "MONTANTDROITCONSOMMATION", "0" },
                { "TAUXTVA", "18" },
                { "MONTANTTVA", "181.8" },
            };
            for (const QString &change : changes) {
                const QString column = change.section(QLatin1Char('='), 0, 0);
                const QString value = change.section(QLatin1Char('='), 1);
                bool found = false;
                for (auto &c : columns) {
                    if (c.first == column) {
                        c.second = value;
                        found = true;
                    }
                }
                EXPECT_TRUE(found) << column.toStdString();
            }
            QStringList names = { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"),
                QStringLiteral("NUMEROORDRE") };
            QStringList values = { QLatin1Char('\'') + matricule + QLatin1Char('\''), QStringLiteral("2008"), QStringLiteral("1"),
                QString::number(number) };
            for (const auto &c : columns) {
                names << c.first;
                values << c.second;
            }
            db.exec(QStringLiteral("insert into FACTURE (%1) values (%2)").arg(names.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))));
        }
        db.connection().commitRetaining();
        DataSet societes(db.connection(), QStringLiteral("Isociete"));
        societes.setSql(QStringLiteral("select * from SOCIETE"));
        societes.open();
        chooseCompany(societes, context);
        MessageBox::resetRecord();
    }
};

// Two sound invoices of a sound company: no check finds anything.
inline QuarterRegister *soundQuarter()
{
    return new QuarterRegister({ QStringLiteral("7654321"), QStringLiteral("B"), QStringLiteral("P"), QStringLiteral("000") }, { {}, {} });
}

// What soundQuarter() gives, byte for byte: its texts were stored padded,
// so the file is what it always was.
inline QByteArray soundQuarterFile()
{
    const QByteArray p = "7654321BP0002008T1";
    QByteArray f = "EF" + p + QByteArray("SOCIETE SAINE").leftJustified(40) + QByteArray("NEGOCE").leftJustified(40)
        + QByteArray("SFAX").leftJustified(40) + QByteArray("RUE DE LA KASBAH").leftJustified(72) + "7   1000" + QByteArray(111, ' ')
        + "\r\n";
    for (const char *n : { "1", "2" })
        f += "DF" + p + "00000" + n + QByteArray("F-").append(n).leftJustified(20) + "10022008" + "1" + "1234567ABM000"
            + QByteArray("CLIENT ").append(n).leftJustified(40) + QByteArray("RUE UN").leftJustified(120) + QByteArray("AUT-1").leftJustified(20)
            + "31122007"
              "000000001000000"
              "00100"
              "000000000010000"
              "00000"
              "000000000000000"
              "01800"
              "000000000181800"
              "\r\n";
    f += "TF" + p + "000002" + QByteArray(230, ' ')
        + "000000002000000"
          "00000"
          "000000000020000"
          "00000"
          "000000000000000"
          "00000"
          "000000000363600"
          "\r\n";
    return f;
}

// A company whose tax identifier breaks each of its rules, and one T1
// invoice for each check an invoice can fail (two for a repeated number,
// two whose VAT is 0.4 millime over, which the totals round away from
// their records).
inline QuarterRegister *everyAnomaly()
{
    return new QuarterRegister({ QStringLiteral("012345X"), QStringLiteral("O"), QStringLiteral("M"), QStringLiteral("01") },
        {
            { "DATEFACTURE=null" },
            { "DATEFACTURE='2008-05-02'" },
            { "NUMEROFACTURE='  '" },
            { "NUMEROFACTURE='F-DOUBLE'" },
            { "NUMEROFACTURE=' F-DOUBLE'" },
            { "TYPEIDCLIENT='5'" },
            { "TYPEIDCLIENT='4'", "IDENTIFIANTCLIENT=null" },
            { "IDENTIFIANTCLIENT='1234567ABM'" },
            { "IDENTIFIANTCLIENT='12345X7ABM000'" },
            { "IDENTIFIANTCLIENT='1234567IBM000'" },
            { "IDENTIFIANTCLIENT='1234567ACM000'" },
            { "IDENTIFIANTCLIENT='1234567ABX000'" },
            { "IDENTIFIANTCLIENT='1234567ABM001'" },
            { "TYPEIDCLIENT='2'", "IDENTIFIANTCLIENT='1234567'" },
            { "NUMEROAUTORISATION=null" },
            { "DATEAUTORISATION=null" },
            { "DATEAUTORISATION='2008-03-01'" },
            { "PRIXVENTE=-1000", "MONTANTFODEC=-10", "MONTANTTVA=-181.8" },
            { "MONTANTFODEC=12", "MONTANTTVA=182.16" },
            { "TAUXDROITCONSOMMATION=10", "MONTANTDROITCONSOMMATION=50", "MONTANTTVA=190.8" },
            { "MONTANTTVA=190" },
            { "MONTANTTVA=181.8004" },
            { "MONTANTTVA=181.8004" },
        });
}
