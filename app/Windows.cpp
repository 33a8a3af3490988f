#include "app/Windows.h"

#include "app/MainWindow.h"
#include "companies/CompanyList.h"
#include "data/DataModule.h"
#include "declaration/DeclarationWindow.h"

#include <QLabel>

void registerWindows()
{
    // Each register's window is wired here as it comes, one command a line.
    QWidget *newClientList(); // clients/ClientList.h
    TFrmmain::registerCommand(TFrmmain::Command::Clients, [](TFrmmain &main) { main.openChild(newClientList()); });
    TFrmmain::registerCommand(TFrmmain::Command::Companies, [](TFrmmain &main) { main.openChild(new Tfrmsocietes(Datadeclaration->Isociete)); });
    // reset:
    // invoices:
    // declaration:
    TFrmmain::registerCommand(TFrmmain::Command::Declaration, [](TFrmmain &m) {
        TFrmmain::openSeparate(new TFrmgenerationdeclaration(m, m.Ste->text(), *Datadeclaration->ivorande));
    });
    // import:
}
