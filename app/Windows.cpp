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

void registerWindows()
{
    // Each register's window is wired here as it comes, one command a line.
    MainWindow::registerCommand(MainWindow::Command::Clients, [](MainWindow &main) { main.openChild(newClientList()); });
    MainWindow::registerCommand(
        MainWindow::Command::Companies, [](MainWindow &main) { main.openChild(new CompanyList(Datadeclaration->Isociete)); });
    MainWindow::registerCommand(MainWindow::Command::Reset, [](MainWindow &main) {
        auto *window = new ResetWindow(*Datadeclaration->ivorande, &main);
        window->backupSettings = Datadeclaration->backupSettings;
        MainWindow::openSeparate(window);
        window->setAttribute(Qt::WA_DeleteOnClose, false); // closing only hides it; the frame frees it at the end
    });
    // invoices:
    MainWindow::registerCommand(MainWindow::Command::Invoices, [](MainWindow &m) {
        m.openChild(new InvoiceList(
            Datadeclaration->ifacture, Datadeclaration->Itiers, m.curIdentifiant + m.curCle + m.curCategorie + m.curEtab, m.curExercice));
    });
    // declaration:
    MainWindow::registerCommand(MainWindow::Command::Declaration, [](MainWindow &m) {
        auto *window = new DeclarationWindow(m, m.Ste->text(), *Datadeclaration->ivorande);
        QObject::connect(window, &DeclarationWindow::generated, &m, &MainWindow::refreshDeclarationStatus);
        MainWindow::openSeparate(window);
    });
    MainWindow::setDeclarationStatusSource([](const WorkingContext &c) {
        const DeclarationHistory::Status s = DeclarationHistory::statusOf(
            *Datadeclaration->ivorande, c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab, QDate::currentDate());
        return MainWindow::DeclarationStatus { s.text, s.late };
    });
    // backups:
    MainWindow::registerCommand(MainWindow::Command::Backup, [](MainWindow &main) { BackupWindows::backup(&main, *Datadeclaration); });
    MainWindow::registerCommand(MainWindow::Command::Restore, [](MainWindow &main) { BackupWindows::restore(&main, *Datadeclaration); });
    // import:
    MainWindow::registerCommand(
        MainWindow::Command::Import, [](MainWindow &m) { MainWindow::openSeparate(new ImportScreen(*Datadeclaration, m)); });
}

CompanySelection *openCompanySelection(MainWindow &main)
{
    auto *selection = new CompanySelection(Datadeclaration->Isociete, &main, main.Ste, main.Matriculefiscal, main.Exercicecourant);
    QObject::connect(selection, &CompanySelection::companyChosen, &main, &MainWindow::refreshDeclarationStatus);
    main.openChild(selection, false);
    return selection;
}

