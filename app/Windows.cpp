#include "app/Windows.h"

#include "app/MainWindow.h"

void registerWindows()
{
    // Each register's window is wired here as it comes, one command a line.
    // clients:
    // companies:
    // reset:
    // invoices:
    // declaration:
    // import:
}
