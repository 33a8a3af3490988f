#pragma once

class QWidget;

// Closes a window whether it stands alone or inside the frame (where its
// frame window must close with it).
void closeWindow(QWidget *window);
