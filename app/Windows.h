#pragma once

// Wires the main window's commands to the windows this build has.
void registerWindows();
