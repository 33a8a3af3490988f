#pragma once

class QWidget;

// Opens a window next to the one that asks for it: inside the same frame
// when the owner is a child window of it, as a separate window otherwise.
// The window is destroyed when it closes; the owner then becomes the active
// window again, its focus where it was, so that the operator goes on with
// the keyboard.
void openBeside(QWidget *owner, QWidget *window, bool maximised = false);
