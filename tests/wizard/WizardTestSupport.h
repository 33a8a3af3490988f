#pragma once

#include "data/DataSet.h"
#include "data/Query.h"
#include "import/wizard/ImportWizard.h"
#include "tests/support/TestDatabase.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A fresh database with the client table open in a data set (the import's
// destination), and a directory for source files and templates.
struct ClientsFixture
{
    TestDatabase db;
    DataSet tiers { db.connection(), QStringLiteral("Itiers") };
    QTemporaryDir dir;

    ClientsFixture()
    {
        tiers.setSql(QStringLiteral("select * from TIERS"));
        tiers.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
        tiers.open();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    // Writes a file in the program's single-byte code page.
    QString write(const QString &name, const QString &text) const
    {
        QFile f(path(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.toLatin1());
        return path(name);
    }

    // A delimited file of n clients: "code;name;address", after a header line.
    QString clientsCsv(int n = 3, const QString &name = QStringLiteral("clients.csv")) const
    {
        QString text = QStringLiteral("CODE;NOM;ADRESSE\r\n");
        for (int i = 1; i <= n; ++i)
            text += QStringLiteral("%1;Client %1;%2 rue de Tunis\r\n").arg(i).arg(i * 10);
        return write(name, text);
    }

    // What another program sees: the committed clients, code -> name.
    QMap<int, QString> committed() const
    {
        auto other = db.otherConnection();
        Query q(*other, QStringLiteral("select CODE, NOMBENEFICIAIRE from TIERS order by CODE"));
        q.open();
        QMap<int, QString> rows;
        Row row;
        while (q.fetch(row))
            rows.insert(row[0].toInt(), row[1].toString());
        return rows;
    }

    int count() { return db.scalar(QStringLiteral("select count(*) from TIERS")).toInt(); }
};

// The wizard over that client table, its message boxes answered with OK and
// recorded, what it commits committed.
class WizardOnClients : public ::testing::Test
{
protected:
    ClientsFixture fx;
    ImportWizard wizard;

    void SetUp() override
    {
        MessageBox::resetRecord();
        MessageBox::setAutoAnswer(QMessageBox::Ok);
        wizard.dataSet = &fx.tiers;
        wizard.onNeedCommit = [this](QObject *) { fx.db.connection().commitRetaining(); };
    }
    void TearDown() override
    {
        MessageBox::setAutoAnswer(QMessageBox::NoButton);
        MessageBox::resetRecord();
    }
};
