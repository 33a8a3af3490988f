#include "app/Windows.h"

#include "app/MainWindow.h"

void registerWindows()
{
    // Each register's window is wired here as it comes, one command a line.
    QWidget *newClientList(); // clients/ClientList.h
    TFrmmain::registerCommand(TFrmmain::Command::Clients, [](TFrmmain &main) { main.openChild(newClientList()); });
    // companies:
    // reset:
    // invoices:
    // declaration:
    // import:
}
