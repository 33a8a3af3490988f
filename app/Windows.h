#pragma once

// Wires the main window's commands to the windows this build has.
void registerWindows();

class TFrmmain;
class TFrmsocieteselect;

// The company selection of start-up, inside the frame; the choice also
// brings the status bar's declaration up to date.
TFrmsocieteselect *openCompanySelection(TFrmmain &main);
