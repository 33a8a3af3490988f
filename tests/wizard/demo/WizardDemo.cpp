// The import wizard on its own, for trying it by hand: a fresh database,
// the client table as the destination, the wizard with its template buttons.
// An optional argument names a template to load when the wizard opens.
// Prints the clients committed once the wizard is closed.

#include "data/DataSet.h"
#include "data/Query.h"
#include "import/wizard/ImportWizard.h"
#include "tests/support/TestDatabase.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TestDatabase db;
    DataSet tiers(db.connection(), QStringLiteral("Itiers"));
    tiers.setSql(QStringLiteral("select * from TIERS"));
    tiers.setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
    tiers.open();

    ImportWizard wizard;
    wizard.dataSet = &tiers;
    wizard.showSaveLoadButtons = true;
    if (argc > 1) {
        wizard.templateFileName = QString::fromLocal8Bit(argv[1]);
        wizard.autoLoadTemplate = true;
    }
    wizard.onNeedCommit = [&](QObject *) { db.connection().commitRetaining(); };
    try {
        wizard.execute();
    } catch (const Error &e) {
        MessageBox::error(nullptr, e.text());
        return 1;
    }

    Query q(db.connection(), QStringLiteral("select CODE, NOMBENEFICIAIRE, ADRESSE from TIERS order by CODE"));
    q.open();
    Row row;
    int n = 0;
    while (q.fetch(row)) {
        std::printf("%d;%s;%s\n", row[0].toInt(), qPrintable(row[1].toString()), qPrintable(row[2].toString()));
        ++n;
    }
    std::printf("%d client(s)\n", n);
    return 0;
}
