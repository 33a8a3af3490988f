#pragma once

#include <QIcon>

// The program's icon (app/icons/kestra.svg), at every size it was rendered
// at for the window, the task bar and the menus.
QIcon programIcon();
