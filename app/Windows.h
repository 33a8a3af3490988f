#pragma once

// Wires the main window's commands to the windows this build has.
void registerWindows();

class MainWindow;
class CompanySelection;

// The company selection of start-up, inside the frame; the choice also
// brings the status bar's declaration up to date.
CompanySelection *openCompanySelection(MainWindow &main);
