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
#include "import/screen/ImpDlgIBXF.h"
#include "invoices/windows/InvoiceList.h"

#include <QLabel>

void registerWindows()
{
    // Each register's window is wired here as it comes, one command a line.
    TFrmmain::registerCommand(TFrmmain::Command::Clients, [](TFrmmain &main) { main.openChild(newClientList()); });
    TFrmmain::registerCommand(
        TFrmmain::Command::Companies, [](TFrmmain &main) { main.openChild(new Tfrmsocietes(Datadeclaration->Isociete)); });
    TFrmmain::registerCommand(TFrmmain::Command::Reset, [](TFrmmain &main) {
        auto *window = new TFrminitialisation(*Datadeclaration->ivorande, &main);
        window->backupSettings = Datadeclaration->backupSettings;
        TFrmmain::openSeparate(window);
        window->setAttribute(Qt::WA_DeleteOnClose, false); // closing only hides it; the frame frees it at the end
    });
    // invoices:
    TFrmmain::registerCommand(TFrmmain::Command::Invoices, [](TFrmmain &m) {
        m.openChild(new TFrmsaisie(
            Datadeclaration->ifacture, Datadeclaration->Itiers, m.curIdentifiant + m.curCle + m.curCategorie + m.curEtab, m.curExercice));
    });
    // declaration:
    TFrmmain::registerCommand(TFrmmain::Command::Declaration, [](TFrmmain &m) {
        auto *window = new TFrmgenerationdeclaration(m, m.Ste->text(), *Datadeclaration->ivorande);
        QObject::connect(window, &TFrmgenerationdeclaration::generated, &m, &TFrmmain::refreshDeclarationStatus);
        TFrmmain::openSeparate(window);
    });
    TFrmmain::setDeclarationStatusSource([](const WorkingContext &c) {
        const DeclarationHistory::Status s = DeclarationHistory::statusOf(
            *Datadeclaration->ivorande, c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab, QDate::currentDate());
        return TFrmmain::DeclarationStatus { s.text, s.late };
    });
    // backups:
    TFrmmain::registerCommand(TFrmmain::Command::Backup, [](TFrmmain &main) { BackupWindows::backup(&main, *Datadeclaration); });
    TFrmmain::registerCommand(TFrmmain::Command::Restore, [](TFrmmain &main) { BackupWindows::restore(&main, *Datadeclaration); });
    // import:
    TFrmmain::registerCommand(
        TFrmmain::Command::Import, [](TFrmmain &m) { TFrmmain::openSeparate(new TfmImpDlgIBX(*Datadeclaration, m)); });
}

TFrmsocieteselect *openCompanySelection(TFrmmain &main)
{
    auto *selection = new TFrmsocieteselect(Datadeclaration->Isociete, &main, main.Ste, main.Matriculefiscal, main.Exercicecourant);
    QObject::connect(selection, &TFrmsocieteselect::companyChosen, &main, &TFrmmain::refreshDeclarationStatus);
    main.openChild(selection, false);
    return selection;
}

