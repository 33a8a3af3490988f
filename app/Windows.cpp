#include "app/Windows.h"

#include "app/BackupWindows.h"
#include "app/CompanySelection.h"
#include "app/MainWindow.h"
#include "app/ResetWindow.h"
#include "clients/ClientList.h"
#include "companies/CompanyList.h"
#include "data/DataModule.h"
#include "declaration/DeclarationHistory.h"
#include "declaration/windows/DeclarationWindow.h"
#include "import/screen/ImportScreen.h"
#include "invoices/windows/InvoiceList.h"

#include <QLabel>

void registerWindows(MainWindow &main, DataModule &module)
{
    // Each register's window is wired here as it comes, one command a line.
    DataModule *data = &module;
    main.registerCommand(MainWindow::Command::Clients, [data](MainWindow &m) { m.openChild(new ClientList(data->clients)); });
    main.registerCommand(MainWindow::Command::Companies, [data](MainWindow &m) { m.openChild(new CompanyList(data->companies)); });
    main.registerCommand(MainWindow::Command::Reset, [data](MainWindow &m) {
        auto *window = new ResetWindow(*data->connection, &m);
        window->backupSettings = data->backupSettings;
        MainWindow::openSeparate(window);
        window->setAttribute(Qt::WA_DeleteOnClose, false); // closing only hides it; the frame frees it at the end
    });
    // invoices:
    main.registerCommand(MainWindow::Command::Invoices, [data](MainWindow &m) {
        m.openChild(new InvoiceList(data->invoices, data->clients, m.curIdentifiant + m.curCle + m.curCategorie + m.curEtab, m.curExercice));
    });
    // declaration:
    main.registerCommand(MainWindow::Command::Declaration, [data](MainWindow &m) {
        auto *window = new DeclarationWindow(m, m.companyNameLabel->text(), *data->connection);
        QObject::connect(window, &DeclarationWindow::generated, &m, &MainWindow::refreshDeclarationStatus);
        MainWindow::openSeparate(window);
    });
    main.setDeclarationStatusSource([data](const WorkingContext &c) {
        const DeclarationHistory::Status s
            = DeclarationHistory::statusOf(*data->connection, c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab, QDate::currentDate());
        return MainWindow::DeclarationStatus { s.text, s.late };
    });
    // backups:
    main.registerCommand(MainWindow::Command::Backup, [data](MainWindow &m) { BackupWindows::backup(&m, *data); });
    main.registerCommand(MainWindow::Command::Restore, [data](MainWindow &m) { BackupWindows::restore(&m, *data); });
    // import:
    main.registerCommand(MainWindow::Command::Import, [data](MainWindow &m) { MainWindow::openSeparate(new ImportScreen(*data, m)); });
}

CompanySelection *openCompanySelection(MainWindow &main, DataModule &module)
{
    auto *selection = new CompanySelection(module.companies, &main, main.companyNameLabel, main.matriculeLabel, main.yearLabel);
    // New invoices are numbered under the company chosen.
    QObject::connect(selection, &CompanySelection::companyChosen, &module,
        [&main, &module] { module.setNumberingCompany(main.curMatricule, main.curExercice); });
    QObject::connect(selection, &CompanySelection::companyChosen, &main, &MainWindow::refreshDeclarationStatus);
    main.openChild(selection, false);
    return selection;
}
